# Native build of the platform-free code and its unit tests, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

find_package(GTest REQUIRED)
include(GoogleTest)
