# Writes the service worker (OUT) from its TEMPLATE: @FILES@ becomes the list
# of the files it keeps (FILES, separated by "|"), as paths relative to SITE,
# and @VERSION@ their digest, which changes whenever one of them does.
string(REPLACE "|" ";" FILES "${FILES}")
set(names)
set(digests)
foreach(f IN LISTS FILES)
  file(RELATIVE_PATH name ${SITE} ${f})
  file(SHA256 ${f} digest)
  list(APPEND names "'${name}'")
  string(APPEND digests "${name} ${digest}\n")
endforeach()
string(SHA256 VERSION "${digests}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
list(JOIN names ",\n  " FILES)
configure_file(${TEMPLATE} ${OUT} @ONLY)
