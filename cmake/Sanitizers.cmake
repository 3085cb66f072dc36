# QUIB_SANITIZE=address turns on AddressSanitizer with UndefinedBehaviorSanitizer;
# QUIB_SANITIZE=thread turns on ThreadSanitizer. The two cannot be combined. QUIB_SANITIZE=fuzzer
# (clang) builds for libFuzzer, with ASan and UBSan.
if(QUIB_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(QUIB_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(QUIB_SANITIZE STREQUAL "fuzzer")
  # clang only: libFuzzer's coverage everywhere, with ASan and UBSan; the fuzz targets link libFuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(QUIB_SANITIZE)
  message(FATAL_ERROR "QUIB_SANITIZE must be 'address', 'thread' or 'fuzzer', not '${QUIB_SANITIZE}'")
endif()
