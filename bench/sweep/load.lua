-- Loads one ClassType.lua as a host would, and tells what the script did.
--
--   lua5.4 load.lua ClassType.lua
--
-- The script runs in an environment that holds nothing but BindGet and
-- BindSet. Every global it reads or writes goes through that environment, so
-- the loader sees each name the script reads that it never defines (an entry
-- that names a nil table), and every function the script itself calls: a
-- script of data tables calls nothing. A name defined further down is not
-- such a name: an entry that names a table before its constructor has run is
-- the format's own forward reference, mended by the lines at the end. A
-- count hook stops a script that would run for ever.
--
-- Prints one line of five tab-separated fields:
--   verdict      yes        compiled and ran, and read no undefined name
--                named-nil  compiled and ran, but read names it never defines
--                syntax     Lua refuses to compile it
--                runtime    it compiles but fails when run
--   detail       Lua's message for syntax and runtime, else empty
--   nils         the names read and never defined, as name*reads
--   calls        the functions the script called, as name*calls
--   overwritten  BindGet or BindSet when the script assigns them
local INSTRUCTION_LIMIT = 200000000

local path = arg[1]
local function BindGet() end
local function BindSet() end
local store = { BindGet = BindGet, BindSet = BindSet }
local assigned = {}
local overwritten = {}

-- Counted names, kept in the order first seen so the output is stable.
local function tally()
  return { counts = {}, order = {} }
end
local function note(t, name)
  if t.counts[name] == nil then
    t.counts[name] = 0
    t.order[#t.order + 1] = name
  end
  t.counts[name] = t.counts[name] + 1
end
local function listed(t, keep)
  local parts = {}
  for _, name in ipairs(t.order) do
    if keep == nil or keep(name) then
      parts[#parts + 1] = name .. "*" .. t.counts[name]
    end
  end
  return table.concat(parts, ",")
end

local nils, calls = tally(), tally()

local function read_global(_, name)
  local value = store[name]
  if value == nil then note(nils, tostring(name)) end
  return value
end
local function write_global(_, name, value)
  if name == "BindGet" or name == "BindSet" then overwritten[#overwritten + 1] = name end
  assigned[tostring(name)] = true
  store[name] = value
end
local env = setmetatable({}, { __index = read_global, __newindex = write_global })

local function one_line(text)
  return (tostring(text):gsub("[\t\r\n]", " "))
end

-- Messages name the script as a host would, whatever folder it was in.
local file = assert(io.open(path, "rb"))
local source = file:read("a")
file:close()
local chunk, problem = load(source, "=ClassType.lua", "t", env)
if not chunk then
  print(table.concat({ "syntax", one_line(problem), "", "", "" }, "\t"))
  return
end

-- Calls made by the script's own code: the callee's caller is the chunk.
-- The environment's metamethods are the loader's, not the script's.
local ours = { [read_global] = true, [write_global] = true, [chunk] = true }
local function hook(event)
  if event == "count" then error("instruction limit reached", 0) end
  local callee = debug.getinfo(2, "fn")
  local caller = debug.getinfo(3, "f")
  local by_script = event == "tail call" or (caller ~= nil and caller.func == chunk)
  if callee and by_script and not ours[callee.func] then
    local name = callee.func == BindGet and "BindGet" or callee.func == BindSet and "BindSet"
      or callee.name or "?"
    note(calls, name)
  end
end

local ok, failure = pcall(function()
  debug.sethook(hook, "c", INSTRUCTION_LIMIT)
  chunk()
end)
debug.sethook()

local never_defined = listed(nils, function(name) return not assigned[name] end)
local verdict = not ok and "runtime" or (never_defined ~= "" and "named-nil" or "yes")
print(table.concat({ verdict, ok and "" or one_line(failure), never_defined, listed(calls),
  table.concat(overwritten, ",") }, "\t"))
