# Registers one CTest test per GoogleTest suite found in the given sources, each
# running the Windows test program under Wine with a suite filter.
function(gleisora_add_wine_tests target sources)
  set(suites "")
  list(REMOVE_ITEM sources "")
  foreach(src IN LISTS sources)
    file(STRINGS ${src} lines REGEX "^(TEST|TEST_F|TEST_P|TYPED_TEST)\\(")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[A-Z_]+\\(([A-Za-z0-9_]+),.*" "\\1" suite "${line}")
      list(APPEND suites ${suite})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES suites)
  foreach(suite IN LISTS suites)
    add_test(NAME wine.${suite} COMMAND ${target} --gtest_filter=${suite}.*:*/${suite}.*:${suite}/*)
    # 77: 32-bit programs do not run here (wine-run.sh --32).
    set_tests_properties(wine.${suite} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
  endforeach()
endfunction()
