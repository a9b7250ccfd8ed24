# Fuzz targets of the image readers, one per reader plus "any" (LoadImage).
# valmere_add_reader_fuzzers(libfuzzer): with libfuzzer ON each target is a
# libFuzzer binary (clang); OFF builds the same entry point with a driver main
# that replays fuzz/corpus/<reader>/ and registers it with CTest.
set(VALMERE_IMAGE_FUZZ_READERS bmp dib ppm dds jpg png tga any)

function(valmere_add_reader_fuzzers libfuzzer)
  foreach(reader ${VALMERE_IMAGE_FUZZ_READERS})
    set(sources ${PROJECT_SOURCE_DIR}/fuzz/ReaderFuzzer.cpp)
    if(libfuzzer)
      set(target fuzz_image_${reader})
    else()
      set(target fuzz_image_${reader}_corpus)
      list(APPEND sources ${PROJECT_SOURCE_DIR}/fuzz/CorpusDriver.cpp)
    endif()
    add_executable(${target} ${sources})
    target_compile_definitions(${target} PRIVATE VALMERE_FUZZ_READER="${reader}")
    # Only the readers and what they stand on, so the targets build with clang
    # while the rest of the tree need not.
    target_link_libraries(${target} PRIVATE valmere_texture_image valmere_texture_format valmere_texture_bc valmere_math valmere_win32
                          valmere_host valmere_warnings)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    if(libfuzzer)
      target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    else()
      set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${reader})
      if(reader STREQUAL "any")
        set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus)
      endif()
      add_test(NAME fuzz_image_${reader}_corpus COMMAND ${target} ${corpus})
    endif()
  endforeach()
endfunction()
