# Run as a script (cmake -DNAME=... -DINPUT=... -DOUTPUT=... -P EmbedText.cmake):
# writes a C++ source defining the text of INPUT as `const char NAME[]` and its
# length as `const std::size_t NAMESize`, so that a program carries the files it serves.
file(READ "${INPUT}" content)
string(FIND "${content}" ")embed\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${INPUT} holds the raw string's end marker )embed\"")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}.\n#include <cstddef>\n"
    "extern const char ${NAME}[];\nextern const std::size_t ${NAME}Size;\n"
    "const char ${NAME}[] = R\"embed(${content})embed\";\n"
    "const std::size_t ${NAME}Size = sizeof ${NAME} - 1;\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
