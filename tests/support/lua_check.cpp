#include "tests/support/lua_check.h"

#include <algorithm>
#include <lua.hpp>
#include <memory>
#include <set>

namespace ct::testing {

namespace {

using State = std::unique_ptr<lua_State, decltype(&lua_close)>;

constexpr const char* kBindings = "function BindGet() end\nfunction BindSet() end\n";

// __index of the global table while the script runs: records the name of
// every global read before anything was assigned to it. A table that an
// entry names before its own definition is filled in after the tables, so
// only a name that stays undefined once the script has run is a fault.
int RecordUndefinedGlobal(lua_State* L) {
  auto* names = static_cast<std::set<std::string>*>(lua_touserdata(L, lua_upvalueindex(1)));
  const char* name = lua_tostring(L, 2);
  names->insert(name ? name : "?");
  return 0;
}

std::string KeyText(lua_State* L, int index) {
  if (lua_type(L, index) == LUA_TSTRING) return lua_tostring(L, index);
  if (lua_type(L, index) == LUA_TNUMBER) return "[" + std::to_string(lua_tointeger(L, index)) + "]";
  return std::string("<") + luaL_typename(L, index) + ">";
}

class Inspection {
 public:
  Inspection(lua_State* L, std::vector<std::string>& problems) : L_(L), problems_(problems) {}

  void Run() {
    CollectStructureTables();
    lua_pushglobaltable(L_);
    lua_pushnil(L_);
    while (lua_next(L_, -2) != 0) {  // lua_next walks each key once
      if (lua_type(L_, -2) == LUA_TSTRING && lua_istable(L_, -1)) CheckStructure(lua_tostring(L_, -2), lua_gettop(L_));
      lua_pop(L_, 1);
    }
    lua_pop(L_, 1);
  }

 private:
  void CollectStructureTables() {
    lua_pushglobaltable(L_);
    lua_pushnil(L_);
    while (lua_next(L_, -2) != 0) {
      if (lua_istable(L_, -1)) structures_.insert(lua_topointer(L_, -1));
      lua_pop(L_, 1);
    }
    lua_pop(L_, 1);
  }

  void CheckBinding(const std::string& name, int table, const char* field, const char* function) {
    lua_pushstring(L_, field);
    lua_rawget(L_, table);
    lua_getglobal(L_, function);
    if (!lua_rawequal(L_, -1, -2)) problems_.push_back(name + "." + field + " is not " + function);
    lua_pop(L_, 2);
  }

  void CheckStructure(const std::string& name, int table) {
    CheckBinding(name, table, "__index", "BindGet");
    CheckBinding(name, table, "__newindex", "BindSet");
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
  std::vector<std::string>& problems_;
  std::set<const void*> structures_;
};

}  // namespace

std::vector<std::string> CheckClassTypeLua(std::string_view script) {
  std::vector<std::string> problems;
  State state(luaL_newstate(), &lua_close);
  lua_State* L = state.get();
  if (L == nullptr) return {"no Lua state could be created"};

  if (luaL_dostring(L, kBindings) != LUA_OK) return {std::string("the bindings do not load: ") + lua_tostring(L, -1)};
  std::set<std::string> read_undefined;
  lua_pushglobaltable(L);
  lua_newtable(L);
  lua_pushlightuserdata(L, &read_undefined);
  lua_pushcclosure(L, RecordUndefinedGlobal, 1);
  lua_setfield(L, -2, "__index");
  lua_setmetatable(L, -2);
  lua_pop(L, 1);

  if (luaL_loadbuffer(L, script.data(), script.size(), "=ClassType.lua") != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK) {
    problems.push_back(std::string("does not run: ") + lua_tostring(L, -1));
    lua_pop(L, 1);
  }

  lua_pushglobaltable(L);
  lua_pushnil(L);
  lua_setmetatable(L, -2);
  lua_pop(L, 1);
  for (const std::string& name : read_undefined) {
    lua_getglobal(L, name.c_str());
    if (lua_isnil(L, -1)) problems.push_back("reads the undefined global " + name);
    lua_pop(L, 1);
  }
  Inspection(L, problems).Run();
  std::sort(problems.begin(), problems.end());
  return problems;
}

}  // namespace ct::testing
