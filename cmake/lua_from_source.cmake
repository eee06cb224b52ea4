# Lua 5.4 as a static library built from its sources, for the tests' loader
# where no Lua is installed for the target. Its own warnings are not ours.
set(lua_src ${CLASSTABLE_LUA_SOURCE_DIR}/src)
if(NOT EXISTS ${lua_src}/lua.h)
  message(FATAL_ERROR "classtable: no Lua sources in ${CLASSTABLE_LUA_SOURCE_DIR} (no src/lua.h)")
endif()
file(GLOB lua_sources ${lua_src}/*.c)
# The interpreter and the compiler are programs of their own.
list(REMOVE_ITEM lua_sources ${lua_src}/lua.c ${lua_src}/luac.c)
add_library(classtable_lua STATIC ${lua_sources})
target_include_directories(classtable_lua SYSTEM PUBLIC ${lua_src})
target_compile_options(classtable_lua PRIVATE -w)
message(STATUS "classtable: Lua built from ${CLASSTABLE_LUA_SOURCE_DIR}")
