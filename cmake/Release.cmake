# The release this tree builds, as the newest entry of the Debian changelog
# (app/qt/desktop/changelog) records it, so that a release is written down in
# one place. Sets
#   KOV_DEBIAN_VERSION   the package's version, "<project version>-<revision>"
#   KOV_DEBIAN_REVISION  the revision alone, raised for packaging-only changes
#   KOV_RELEASE_DATE     the entry's date as YYYY-MM-DD, for the man page
#                        and the AppStream metainfo
# The entry must name the project's version: a new version needs a new entry.
set(kov_changelog ${PROJECT_SOURCE_DIR}/app/qt/desktop/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${kov_changelog})
file(READ ${kov_changelog} kov_changelog_text)

if(NOT kov_changelog_text MATCHES "^kov-display \\(([^)-]+)-([^)]+)\\)")
  message(FATAL_ERROR "${kov_changelog}: the first line is not \"kov-display (<version>-<revision>) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${kov_changelog}: the newest entry is for ${CMAKE_MATCH_1}, "
    "the project is ${PROJECT_VERSION}; add an entry for ${PROJECT_VERSION}")
endif()
set(KOV_DEBIAN_REVISION ${CMAKE_MATCH_2})
set(KOV_DEBIAN_VERSION ${PROJECT_VERSION}-${KOV_DEBIAN_REVISION})

# The entry's trailer: " -- Name <address>  Mon, 07 Dec 2026 12:00:00 +0000".
if(NOT kov_changelog_text MATCHES "\n -- [^\n]+>  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "${kov_changelog}: the newest entry has no \" -- name <address>  date\" line")
endif()
set(kov_day ${CMAKE_MATCH_1})
set(kov_month_name ${CMAKE_MATCH_2})
set(kov_year ${CMAKE_MATCH_3})
set(kov_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND kov_months ${kov_month_name} kov_month)
if(kov_month LESS 0)
  message(FATAL_ERROR "${kov_changelog}: \"${kov_month_name}\" is not a month")
endif()
math(EXPR kov_month "${kov_month} + 1")
if(kov_month LESS 10)
  set(kov_month 0${kov_month})
endif()
if(kov_day MATCHES "^[0-9]$")
  set(kov_day 0${kov_day})
endif()
set(KOV_RELEASE_DATE ${kov_year}-${kov_month}-${kov_day})
