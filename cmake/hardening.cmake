# Every program is built hardened as Debian builds its packages
# (dpkg-buildflags with DEB_BUILD_MAINT_OPTIONS=hardening=+all): position
# independent executables, full RELRO with immediate binding, the strong
# stack protector, stack-clash protection, control-flow protection and
# _FORTIFY_SOURCE. hardening-check (devscripts) checks the result, in
# scripts/package.sh.
include_guard(GLOBAL)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection
  -Wformat -Werror=format-security)
add_link_options(LINKER:-z,relro LINKER:-z,now)
# The linker marks a program as built for control-flow protection only when
# every object is; Debian 12's C start files (Scrt1.o, crti.o, crtn.o) carry
# no mark, as its C library is built without it, so the mark is given here.
# For shadow stacks that is true: the start files forge no return. For
# indirect-branch tracking it is not quite: _init and _fini, which the
# dynamic loader calls through a pointer, begin without ENDBR64. It costs
# nothing, since a loader enables the tracking only when every object
# loaded is marked (Debian 12's C library is not) and no Linux kernel
# enforces it in user space; without the mark hardening-check reports no
# control-flow protection for every program Debian 12 builds.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_link_options(LINKER:-z,ibt LINKER:-z,shstk)
endif()
# _FORTIFY_SOURCE checks only optimised code (and glibc warns without
# optimisation); AddressSanitizer does the same checks better and clashes
# with the fortified functions.
if(NOT OVLIX_SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
