# Writes a C++ source holding PNG files as byte arrays.
# Run as: cmake -DOUTPUT=<file.cpp> -DPICTURES="<key>=<png>|..." -P EmbedPictures.cmake
string(REPLACE "|" ";" PICTURES "${PICTURES}")
set(arrays "")
set(table "")
foreach(entry IN LISTS PICTURES)
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 key)
  list(GET parts 1 file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){20})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const unsigned char kPicture${key}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND table "    {${key}, kPicture${key}, sizeof kPicture${key}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp"
  "// Generated at build time from the PNG files of ui/pictures; do not edit.\n"
  "#include \"6_ui/EmbeddedPictures.h\"\n\nnamespace {\n${arrays}"
  "const EmbeddedPicture kPictures[] = {\n${table}};\n}  // namespace\n\n"
  "std::span<const EmbeddedPicture> EmbeddedPictures() { return kPictures; }\n")
# Only touch the output when it changed, so unchanged pictures cost no rebuild.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
