# Warnings are errors in every build; sources are UTF-8, narrow literals of the
# Windows builds are code page 932.
add_library(qx_options INTERFACE)
target_compile_options(qx_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
target_include_directories(qx_options INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)

if(WIN32)
  target_compile_options(qx_options INTERFACE -finput-charset=UTF-8 -fexec-charset=CP932)
  target_compile_definitions(qx_options INTERFACE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
  target_link_options(qx_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(QX_SANITIZE)
  target_compile_options(qx_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(qx_options INTERFACE -fsanitize=address,undefined)
endif()
if(QX_FUZZ)
  # Libraries of the fuzz build carry the fuzzer's coverage hooks and the same
  # sanitizers as the fuzz targets that link them.
  target_compile_options(qx_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(qx_options INTERFACE -fsanitize=address,undefined)
endif()
