# QUIB_SANITIZE=address turns on AddressSanitizer with UndefinedBehaviorSanitizer;
# QUIB_SANITIZE=thread turns on ThreadSanitizer. The two cannot be combined.
if(QUIB_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(QUIB_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(QUIB_SANITIZE)
  message(FATAL_ERROR "QUIB_SANITIZE must be 'address' or 'thread', not '${QUIB_SANITIZE}'")
endif()
