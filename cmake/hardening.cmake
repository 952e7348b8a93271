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
# every object is; Debian 12's C start files (crt1.o, crti.o, crtn.o) carry
# no mark, though they do nothing the protection forbids (no indirect jump
# lands in them other than through the C library's own calls, no return is
# forged), so the mark is given here.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_link_options(LINKER:-z,ibt LINKER:-z,shstk)
endif()
# _FORTIFY_SOURCE checks only optimised code (and glibc warns without
# optimisation); AddressSanitizer does the same checks better and clashes
# with the fortified functions.
if(NOT OVLIX_SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
