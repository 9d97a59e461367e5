# Writes the service worker: cmake -DSITE=folder -DFILES=list.txt
# -DTEMPLATE=sw.js.in -DVERSION=x.y.z -P precache.cmake. It keeps the files
# of SITE that FILES names (one path a line) but itself, in a cache named by
# the version and a hash of the files' names and contents, so that any
# change is a new cache that replaces the old one. Whatever else lies in SITE
# is not the page's and is not kept.
file(STRINGS ${FILES} files)
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
