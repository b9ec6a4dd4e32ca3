# One options target that every Quillora target links: the language level,
# the warnings, and Qt's switches that make every string conversion explicit.
add_library(quillora_options INTERFACE)
target_compile_features(quillora_options INTERFACE cxx_std_20)
target_compile_options(quillora_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(quillora_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)
if(QUILLORA_SANITIZE)
  target_compile_options(quillora_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quillora_options INTERFACE -fsanitize=address,undefined)
endif()
