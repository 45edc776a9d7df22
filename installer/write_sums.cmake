# cmake -DDIR=<folder> -DOUT=<file> -DFILES=<a;b;...> -P write_sums.cmake
# Writes the SHA-256 sums of the named files of DIR in the format of sha256sum, so that
# `sha256sum -c SHA256SUMS` checks them from inside the folder.
set(sums "")
foreach(name IN LISTS FILES)
  file(SHA256 "${DIR}/${name}" hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUT}" "${sums}")
