# cmake -DIN=FILE -DOUT=FILE.cpp -DNAME=kName -DHEADER=path/of/header.h -P embed_bytes.cmake
# Writes FILE's bytes as the definition of `const unsigned char NAME[]` and
# `NAME`Size, in namespace vintaro, declared by HEADER.
get_filename_component(from "${IN}" NAME)
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUT}.new" "// Made at build time from ${from}.\n#include \"${HEADER}\"\n\nnamespace vintaro {\n\nconst unsigned char ${NAME}[] = {\n  ${bytes}\n};\nconst std::size_t ${NAME}Size = ${size};\n\n}  // namespace vintaro\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
