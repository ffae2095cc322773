# cmake -DINPUT=file -DOUTPUT=file.c -DSYMBOL=name -P EmbedFile.cmake
# Writes a C source defining `const unsigned char SYMBOL[]` with the file's bytes and a final NUL.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "/* Generated from ${INPUT}; do not edit. */\nconst unsigned char ${SYMBOL}[] = {\n${bytes}0x00\n};\n")
