# cmake -DOUTPUT=page.html -DTITLE=name -DPAGE=program.html -DFILES=a.cpp|b.h -DROOT=source-root
#       -DTEMPLATE=platform/web/source.html -P OndrelSourcePage.cmake
# A page of a program's source files for the web site (ondrel_web_site): each file under its name
# relative to ROOT, its text as it stands, escaped for HTML.
string(REPLACE "|" ";" files "${FILES}")
set(ONDREL_SOURCE_FILES "")
set(ONDREL_SOURCE_INDEX "")
foreach(file ${files})
  file(RELATIVE_PATH name ${ROOT} ${file})
  file(READ ${file} text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(MAKE_C_IDENTIFIER ${name} anchor)
  string(APPEND ONDREL_SOURCE_INDEX "<li><a href=\"#${anchor}\">${name}</a></li>")
  string(APPEND ONDREL_SOURCE_FILES "<section id=\"${anchor}\"><h2>${name}</h2><pre><code>${text}</code></pre></section>\n")
endforeach()
set(ONDREL_SOURCE_TITLE ${TITLE})
set(ONDREL_SOURCE_PAGE ${PAGE})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
