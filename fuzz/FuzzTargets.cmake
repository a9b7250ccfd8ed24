# The fuzz targets: one per image reader plus "any" (LoadImage), all from
# ReaderFuzzer.cpp, and one per library call, each from its own entry file
# (fuzz/<Name>Fuzzer.cpp, its byte layout documented at its top).
# valmere_add_fuzzers(libfuzzer): with libfuzzer ON each target is a libFuzzer
# binary fuzz_<name> (clang); OFF builds the same entry point with a driver
# main, fuzz_<name>_corpus, that replays its corpus as a CTest test.
set(VALMERE_IMAGE_FUZZ_READERS bmp dib ppm dds jpg png tga any)
# Target name, entry file.
set(VALMERE_CALL_FUZZERS
  load_surface LoadSurfaceFuzzer.cpp
  load_volume LoadVolumeFuzzer.cpp
  create_texture CreateTextureFuzzer.cpp
  filter_texture FilterTextureFuzzer.cpp
  draw_text DrawTextFuzzer.cpp
  dds_roundtrip DdsRoundTripFuzzer.cpp)

# One target; its corpus is fuzz/corpus/<corpus...>.
function(valmere_add_fuzzer name libfuzzer)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;DEFINITIONS;CORPUS" ${ARGN})
  list(TRANSFORM F_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/fuzz/)
  if(libfuzzer)
    set(target fuzz_${name})
  else()
    set(target fuzz_${name}_corpus)
    list(APPEND F_SOURCES ${PROJECT_SOURCE_DIR}/fuzz/CorpusDriver.cpp)
  endif()
  add_executable(${target} ${F_SOURCES})
  target_compile_definitions(${target} PRIVATE ${F_DEFINITIONS})
  target_link_libraries(${target} PRIVATE ${F_LIBS} valmere_warnings)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(libfuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    list(TRANSFORM F_CORPUS PREPEND ${PROJECT_SOURCE_DIR}/fuzz/corpus/)
    add_test(NAME ${target} COMMAND ${target} ${F_CORPUS})
    set_tests_properties(${target} PROPERTIES TIMEOUT 120)
  endif()
endfunction()

function(valmere_add_fuzzers libfuzzer)
  set(readers ${VALMERE_IMAGE_FUZZ_READERS})
  list(REMOVE_ITEM readers any)
  foreach(reader ${VALMERE_IMAGE_FUZZ_READERS})
    set(corpus ${reader})
    if(reader STREQUAL "any")
      # Its own finds first (where long runs merge them), then every reader's.
      set(corpus any ${readers})
    endif()
    # Only the readers and what they stand on, so the reader targets build
    # with clang while the rest of the tree need not.
    valmere_add_fuzzer(image_${reader} ${libfuzzer} SOURCES ReaderFuzzer.cpp
      DEFINITIONS VALMERE_FUZZ_READER="${reader}" CORPUS ${corpus}
      LIBS valmere_texture_image valmere_texture_format valmere_texture_bc valmere_math valmere_win32 valmere_host)
  endforeach()

  if(NOT TARGET valmere_fuzz_support)
    add_library(valmere_fuzz_support STATIC ${PROJECT_SOURCE_DIR}/fuzz/FuzzDevice.cpp
                ${PROJECT_SOURCE_DIR}/fuzz/TextureCase.cpp)
    target_link_libraries(valmere_fuzz_support PUBLIC valmere_d3dx valmere_platform PRIVATE valmere_warnings)
    target_include_directories(valmere_fuzz_support PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
  set(calls ${VALMERE_CALL_FUZZERS})
  while(calls)
    list(POP_FRONT calls name source)
    set(libs valmere_fuzz_support)
    if(name STREQUAL "dds_roundtrip")
      list(APPEND libs valmere_texture_tool)  # the tool's DDS writer
    endif()
    valmere_add_fuzzer(${name} ${libfuzzer} SOURCES ${source} FuzzEntry.cpp LIBS ${libs} CORPUS ${name})
  endwhile()
endfunction()
