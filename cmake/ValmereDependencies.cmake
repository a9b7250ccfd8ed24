# The third-party packages that the installed libraries link, found here for
# the build and written into the package's config as find_dependency calls,
# so a program that finds Valmere finds them the same way. Each entry is the
# arguments of one find_package call; the pkg-config modules are the same
# packages for valmere.pc.
set(VALMERE_DEPENDENCIES "Threads" "SDL2 CONFIG" "X11" "PNG" "JPEG" "Freetype" "Fontconfig")
set(VALMERE_PKGCONFIG_REQUIRES "sdl2 x11 libpng libjpeg freetype2 fontconfig")

set(VALMERE_FIND_DEPENDENCIES "")
foreach(dependency IN LISTS VALMERE_DEPENDENCIES)
  separate_arguments(arguments UNIX_COMMAND "${dependency}")
  find_package(${arguments} REQUIRED)
  string(APPEND VALMERE_FIND_DEPENDENCIES "find_dependency(${dependency})\n")
endforeach()
