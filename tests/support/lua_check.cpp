#include "tests/support/lua_check.h"

#include <algorithm>
#include <lua.hpp>
#include <map>
#include <memory>
#include <set>

#include "resources/prelude.h"
#include "text/line_list.h"
#include "text/scan.h"

namespace ct::testing {

namespace {

using State = std::unique_ptr<lua_State, decltype(&lua_close)>;

// A script that runs longer than this is stopped: data tables take far less.
constexpr int kInstructionLimit = 50000000;

// What the script did to its environment besides defining its tables.
struct Touches {
  std::set<std::string> read_unset;      // globals read while nothing was assigned to them
  std::map<std::string, int> calls;      // functions called, by the name Lua gives them
  std::vector<std::string> assignments;  // globals given what a data script never assigns
};

// Registry keys of the run's fixed values.
char kAllowedCallsKey;
char kTouchesKey;

Touches& TouchesOf(lua_State* L) {
  lua_rawgetp(L, LUA_REGISTRYINDEX, &kTouchesKey);
  auto* touches = static_cast<Touches*>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  return *touches;
}

std::string KeyText(lua_State* L, int index) {
  if (lua_type(L, index) == LUA_TSTRING) return lua_tostring(L, index);
  if (lua_type(L, index) == LUA_TNUMBER) return "[" + std::to_string(lua_tointeger(L, index)) + "]";
  return std::string("<") + luaL_typename(L, index) + ">";
}

// The environment's metamethods; upvalue 1 is the table that holds the
// globals. A table that an entry names before its own definition is filled
// in after the tables, so only a name that stays unset once the script has
// run is a fault.
int ReadGlobal(lua_State* L) {
  lua_pushvalue(L, 2);
  lua_rawget(L, lua_upvalueindex(1));
  if (lua_isnil(L, -1)) TouchesOf(L).read_unset.insert(KeyText(L, 2));
  return 1;
}

int WriteGlobal(lua_State* L) {
  const std::string name = KeyText(L, 2);
  if (name == "BindGet" || name == "BindSet")
    TouchesOf(L).assignments.push_back("replaces " + name);
  else if (!lua_istable(L, 3) && lua_type(L, 3) != LUA_TNUMBER && lua_type(L, 3) != LUA_TSTRING)
    TouchesOf(L).assignments.push_back("gives the global " + name + " a " + luaL_typename(L, 3));
  lua_settop(L, 3);
  lua_rawset(L, lua_upvalueindex(1));
  return 0;
}

int Binding(lua_State*) { return 0; }

// Every call the script makes is counted, except those of the chunk itself
// and of the environment's metamethods; a count event ends a runaway script.
void Hook(lua_State* L, lua_Debug* ar) {
  if (ar->event == LUA_HOOKCOUNT) luaL_error(L, "instruction limit reached");
  lua_getinfo(L, "fn", ar);
  lua_rawgetp(L, LUA_REGISTRYINDEX, &kAllowedCallsKey);
  lua_insert(L, -2);
  const bool allowed = lua_rawget(L, -2) != LUA_TNIL;
  lua_pop(L, 2);
  if (!allowed) ++TouchesOf(L).calls[ar->name ? ar->name : "a function"];
}

// The type codes the prelude defines, as a host that binds ClassType.lua
// knows them: " vt_Integer = 1 ;".
std::map<std::string, lua_Integer> TypeCodes() {
  std::map<std::string, lua_Integer> codes;
  LineList prelude;
  prelude.SetText(ReadPrelude(kPreludeResource));
  for (const std::string& line : prelude.Lines()) {
    Token definition = GetValidToken(line, "=");
    const std::string name = Trim(definition.token);
    const auto value = ParseInt64(Trim(ReplaceAll(definition.rest, ";", "")));
    if (name.rfind("vt_", 0) == 0 && value) codes[name] = *value;
  }
  return codes;
}

class Inspection {
 public:
  Inspection(lua_State* L, int store, int get, int set, std::vector<std::string>& problems)
      : L_(L), store_(store), get_(get), set_(set), problems_(problems) {}

  void Run() {
    CollectStructureTables();
    lua_pushnil(L_);
    while (lua_next(L_, store_) != 0) {  // lua_next walks each key once
      if (lua_type(L_, -2) == LUA_TSTRING && lua_istable(L_, -1)) CheckStructure(lua_tostring(L_, -2), lua_gettop(L_));
      lua_pop(L_, 1);
    }
  }

 private:
  void CollectStructureTables() {
    lua_pushnil(L_);
    while (lua_next(L_, store_) != 0) {
      if (lua_istable(L_, -1)) structures_.insert(lua_topointer(L_, -1));
      lua_pop(L_, 1);
    }
  }

  void CheckBinding(const std::string& name, int table, const char* field, int function, const char* function_name) {
    lua_pushstring(L_, field);
    lua_rawget(L_, table);
    if (!lua_rawequal(L_, -1, function)) problems_.push_back(name + "." + field + " is not " + function_name);
    lua_pop(L_, 1);
  }

  void CheckStructure(const std::string& name, int table) {
    CheckBinding(name, table, "__index", get_, "BindGet");
    CheckBinding(name, table, "__newindex", set_, "BindSet");
    lua_pushnil(L_);
    while (lua_next(L_, table) != 0) {
      std::string key = KeyText(L_, -2);
      if (key != "__index" && key != "__newindex") CheckMember(name + "." + key, lua_gettop(L_));
      lua_pop(L_, 1);
    }
  }

  void CheckMember(const std::string& member, int entry) {
    if (!lua_istable(L_, entry)) {
      problems_.push_back(member + " is a " + luaL_typename(L_, entry) + ", not a table");
      return;
    }
    lua_Integer count = static_cast<lua_Integer>(lua_rawlen(L_, entry));
    if (count < 2) {
      problems_.push_back(member + " holds " + std::to_string(count) + " value(s), not an offset and a type");
      return;
    }
    lua_rawgeti(L_, entry, 1);
    if (lua_type(L_, -1) != LUA_TNUMBER) problems_.push_back(member + " has no numeric offset");
    lua_pop(L_, 1);
    lua_rawgeti(L_, entry, count);
    bool type_known =
        lua_type(L_, -1) == LUA_TNUMBER || (lua_istable(L_, -1) && structures_.count(lua_topointer(L_, -1)) != 0);
    if (!type_known)
      problems_.push_back(member + " ends in a " + luaL_typename(L_, -1) + ", not a type code or a structure table");
    lua_pop(L_, 1);
  }

  lua_State* L_;
  int store_, get_, set_;
  std::vector<std::string>& problems_;
  std::set<const void*> structures_;
};

}  // namespace

namespace {

std::vector<std::string> Check(std::string_view script, bool inspect_tables) {
  std::vector<std::string> problems;
  State state(luaL_newstate(), &lua_close);
  lua_State* L = state.get();
  if (L == nullptr) return {"no Lua state could be created"};
  Touches touches;
  lua_pushlightuserdata(L, &touches);
  lua_rawsetp(L, LUA_REGISTRYINDEX, &kTouchesKey);

  // Stack: 1 the globals' store, 2 BindGet, 3 BindSet, 4 the environment,
  // 5 the calls the hook lets pass.
  lua_newtable(L);
  const int store = lua_gettop(L);
  for (const auto& [name, code] : TypeCodes()) {
    lua_pushinteger(L, code);
    lua_setfield(L, store, name.c_str());
  }
  // Two closures, since two light C functions of one address are equal.
  for (const char* name : {"BindGet", "BindSet"}) {
    lua_pushstring(L, name);
    lua_pushcclosure(L, Binding, 1);
    lua_pushvalue(L, -1);
    lua_setfield(L, store, name);
  }
  const int get = store + 1, set = store + 2;
  lua_newtable(L);
  const int environment = lua_gettop(L);
  lua_newtable(L);
  lua_pushvalue(L, store);
  lua_pushcclosure(L, ReadGlobal, 1);
  const int read = lua_gettop(L);
  lua_pushvalue(L, store);
  lua_pushcclosure(L, WriteGlobal, 1);
  const int write = lua_gettop(L);
  lua_pushvalue(L, read);
  lua_setfield(L, environment + 1, "__index");
  lua_pushvalue(L, write);
  lua_setfield(L, environment + 1, "__newindex");
  lua_pushvalue(L, environment + 1);
  lua_setmetatable(L, environment);
  lua_settop(L, write);
  lua_newtable(L);
  for (int allowed : {read, write}) {
    lua_pushvalue(L, allowed);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
  }
  lua_rawsetp(L, LUA_REGISTRYINDEX, &kAllowedCallsKey);

  if (luaL_loadbufferx(L, script.data(), script.size(), "=ClassType.lua", "t") != LUA_OK) {
    problems.push_back(std::string("does not run: ") + lua_tostring(L, -1));
  } else {
    lua_pushvalue(L, environment);
    lua_setupvalue(L, -2, 1);
    lua_rawgetp(L, LUA_REGISTRYINDEX, &kAllowedCallsKey);
    lua_pushvalue(L, -2);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_pop(L, 1);
    lua_sethook(L, Hook, LUA_MASKCALL | LUA_MASKCOUNT, kInstructionLimit);
    if (lua_pcall(L, 0, 0, 0) != LUA_OK) problems.push_back(std::string("does not run: ") + lua_tostring(L, -1));
    lua_sethook(L, nullptr, 0, 0);
  }
  lua_settop(L, write);

  for (const std::string& name : touches.read_unset) {
    lua_getfield(L, store, name.c_str());
    if (lua_isnil(L, -1)) problems.push_back("reads the undefined global " + name);
    lua_pop(L, 1);
  }
  for (const auto& [name, count] : touches.calls)
    problems.push_back("calls " + name + " " + std::to_string(count) + " time(s)");
  problems.insert(problems.end(), touches.assignments.begin(), touches.assignments.end());
  if (inspect_tables) Inspection(L, store, get, set, problems).Run();
  std::sort(problems.begin(), problems.end());
  return problems;
}

}  // namespace

std::vector<std::string> CheckClassTypeLua(std::string_view script) { return Check(script, true); }

std::vector<std::string> HostLoadProblems(std::string_view script) { return Check(script, false); }

}  // namespace ct::testing
