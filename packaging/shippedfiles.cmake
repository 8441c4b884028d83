# cmake -DLIST=<data/shipped-files.sha256> -DOUT=<file> -DFILES=<a;b;...> -P shippedfiles.cmake
# The installed list of shipped files: the committed list (every earlier version,
# scripts/update-shipped-files.sh) and the files of the tree being built.
file(READ "${LIST}" lines)
foreach(file IN LISTS FILES)
  file(SHA256 "${file}" hash)
  get_filename_component(name "${file}" NAME)
  string(APPEND lines "${hash}  ${name}\n")
endforeach()
string(REGEX REPLACE "\n$" "" lines "${lines}")
string(REPLACE "\n" ";" lines "${lines}")
list(REMOVE_DUPLICATES lines)
list(SORT lines)
string(REPLACE ";" "\n" lines "${lines}")
file(WRITE "${OUT}.new" "${lines}\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
