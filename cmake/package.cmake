# Writes the release into DIST_DIR from the application folder APP_DIR:
# the setup program, the portable zip and a SHA-256 checksum file of both,
# and beside them the signed files for the update server from PUBLISH_DIR.
# Run by the dist target: cmake -DVERSION=... -DAPP_DIR=... -DDIST_DIR=...
# -DSOURCE_DIR=... -DSTAGE_DIR=... -DMAKENSIS=... -P package.cmake
cmake_minimum_required(VERSION 3.16)

foreach(required VERSION APP_DIR DIST_DIR SOURCE_DIR STAGE_DIR)
  if(NOT ${required})
    message(FATAL_ERROR "package.cmake needs -D${required}")
  endif()
endforeach()
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found (Debian package nsis)")
endif()

set(setup_name Parawarden-${VERSION}-setup.exe)
set(zip_name Parawarden-${VERSION}-portable.zip)
set(sums_name Parawarden-${VERSION}-sha256.txt)
file(REMOVE_RECURSE ${DIST_DIR} ${STAGE_DIR})
file(MAKE_DIRECTORY ${DIST_DIR})

execute_process(
  COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DAPP_DIR=${APP_DIR} -DSOURCE_DIR=${SOURCE_DIR}
          -DOUT_FILE=${DIST_DIR}/${setup_name} ${SOURCE_DIR}/installer/parawarden.nsi
  RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "makensis failed")
endif()

# The zip holds one folder, the application folder as it runs, with a short
# README in Windows line ends so that Notepad shows it.
set(folder ${STAGE_DIR}/Parawarden-${VERSION})
file(MAKE_DIRECTORY ${folder})
foreach(name Parawarden.exe ref.dat index.html eula.txt)
  file(COPY ${APP_DIR}/${name} DESTINATION ${folder})
endforeach()
file(READ ${SOURCE_DIR}/installer/portable-readme.txt readme)
string(REPLACE "@VERSION@" "${VERSION}" readme "${readme}")
string(REPLACE "\r\n" "\n" readme "${readme}")
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE ${folder}/README.txt "${readme}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${DIST_DIR}/${zip_name} --format=zip Parawarden-${VERSION}
  WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "could not write ${zip_name}")
endif()

# The files to publish on the update server, signed: the same folder tree
# the server answers from.
if(PUBLISH_DIR)
  file(COPY ${PUBLISH_DIR} DESTINATION ${DIST_DIR})
endif()

# In the format sha256sum -c reads.
set(sums "")
foreach(name ${setup_name} ${zip_name})
  file(SHA256 ${DIST_DIR}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIST_DIR}/${sums_name} "${sums}")
message(STATUS "Release written to ${DIST_DIR}")
