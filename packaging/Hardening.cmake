# Debian's hardening flags for the release build: fortified libc calls, the
# stack protector, format-string checks and a read-only, immediately bound
# relocation table (relro, bindnow). They come from dpkg-buildflags, as they
# would in a debian/rules build, with every hardening feature on. Optimisation
# and debug information stay with CMAKE_BUILD_TYPE, so -O and -g are dropped.
# The sanitizer and fuzz builds keep their own flags: the stack protector and
# _FORTIFY_SOURCE would only get in the way of AddressSanitizer and libFuzzer.

set(_fonteditor_harden_default OFF)
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT FONTEDITOR_SANITIZE AND NOT FONTEDITOR_FUZZ)
  set(_fonteditor_harden_default ON)
endif()
option(FONTEDITOR_HARDEN "Build with the hardening flags of dpkg-buildflags (on by default for Release)"
  ${_fonteditor_harden_default})

if(FONTEDITOR_HARDEN)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind IN ITEMS CPPFLAGS CXXFLAGS CFLAGS LDFLAGS)
    # Run in the source folder: dpkg-buildflags maps that path to "." in the
    # debug paths it writes (-ffile-prefix-map), which keeps builds reproducible.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    list(FILTER _flags EXCLUDE REGEX "^-(g|O).*$")
    list(JOIN _flags " " _fonteditor_${kind})
  endforeach()
  string(APPEND CMAKE_C_FLAGS " ${_fonteditor_CPPFLAGS} ${_fonteditor_CFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${_fonteditor_CPPFLAGS} ${_fonteditor_CXXFLAGS}")
  foreach(kind IN ITEMS EXE SHARED MODULE)
    string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${_fonteditor_LDFLAGS}")
  endforeach()
  message(STATUS "Hardening: ${_fonteditor_CPPFLAGS} ${_fonteditor_CXXFLAGS} ${_fonteditor_LDFLAGS}")
endif()
