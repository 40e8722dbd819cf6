# Header-only libraries (Eigen, CGAL, Boost, stb, tinygltf, nlohmann-json) and the
# GMP/MPFR pair behind CGAL's exact kernel, as imported targets for both builds.
#
# The cross build never sees /usr/include: it gets a folder of symlinks to just the
# header trees it needs (TARSEL_HOST_HEADERS) and static GMP/MPFR built for MinGW
# (TARSEL_MINGW_PREFIX), both made by scripts/build-mingw-deps.

add_library(tarsel_thirdparty INTERFACE)

if(TARSEL_WINDOWS)
  if(NOT TARSEL_HOST_HEADERS OR NOT EXISTS "${TARSEL_HOST_HEADERS}")
    message(FATAL_ERROR "TARSEL_HOST_HEADERS must name the symlinked header folder (scripts/build-mingw-deps)")
  endif()
  if(NOT TARSEL_MINGW_PREFIX OR NOT EXISTS "${TARSEL_MINGW_PREFIX}/lib/libgmp.a")
    message(FATAL_ERROR "TARSEL_MINGW_PREFIX must hold MinGW builds of GMP and MPFR (scripts/build-mingw-deps)")
  endif()
  target_include_directories(tarsel_thirdparty SYSTEM INTERFACE
    "${TARSEL_MINGW_PREFIX}/include"
    "${TARSEL_HOST_HEADERS}"
    "${TARSEL_HOST_HEADERS}/eigen3")
  target_link_libraries(tarsel_thirdparty INTERFACE
    "${TARSEL_MINGW_PREFIX}/lib/libmpfr.a"
    "${TARSEL_MINGW_PREFIX}/lib/libgmp.a")
else()
  find_path(EIGEN3_INCLUDE_DIR Eigen/Core PATH_SUFFIXES eigen3 REQUIRED)
  find_library(GMP_LIBRARY gmp REQUIRED)
  find_library(MPFR_LIBRARY mpfr REQUIRED)
  target_include_directories(tarsel_thirdparty SYSTEM INTERFACE "${EIGEN3_INCLUDE_DIR}")
  target_link_libraries(tarsel_thirdparty INTERFACE ${MPFR_LIBRARY} ${GMP_LIBRARY})
endif()

# CGAL is header-only here; keep its assertions on the cheap side. Its interval
# filters switch the rounding mode, so the compiler must not move or fold
# floating-point work across those switches.
target_compile_definitions(tarsel_thirdparty INTERFACE CGAL_DISABLE_ROUNDING_MATH_CHECK=ON)
target_compile_options(tarsel_thirdparty INTERFACE "$<$<CXX_COMPILER_ID:GNU>:-frounding-math>")

find_package(Threads REQUIRED)
target_link_libraries(tarsel_thirdparty INTERFACE Threads::Threads)
