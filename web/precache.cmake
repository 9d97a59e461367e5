# Writes the service worker: cmake -DSITE=folder -DTEMPLATE=sw.js.in
# -DVERSION=x.y.z -P precache.cmake. It keeps every file of SITE but itself,
# in a cache named by the version and a hash of the files' names and
# contents, so that any change is a new cache that replaces the old one.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(digest "")
set(SORANIKA_WEB_FILES "'./'")
foreach(file IN LISTS files)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND digest "${file} ${hash}\n")
    string(APPEND SORANIKA_WEB_FILES ", '${file}'")
endforeach()
string(SHA256 digest "${digest}")
string(SUBSTRING "${digest}" 0 12 digest)
set(SORANIKA_WEB_CACHE "soranika-${VERSION}-${digest}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
