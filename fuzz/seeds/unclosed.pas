type TQ = record a: Byte; 
