const S = 'a { b } ; c : d'; // x
(* c *) TX = set of (a, b, c);
