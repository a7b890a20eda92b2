# Where `cmake --install` puts the programs and their files, and the version header.
#
#   PREFIX/bin                      KVRv1, kvr, TOLVEN_Inference
#   PREFIX/share/kvr                RunNeighbor.sh, aligners.conf (read-only; the user's own
#                                   aligners.conf goes in $XDG_CONFIG_HOME/kvr)
#   PREFIX/share/applications, icons, mime, metainfo, man/man1
#
# The programs find their files from their own folder (PREFIX/bin/../share/kvr), so the prefix
# given at install time (--prefix, DESTDIR) does not matter.
include(GNUInstallDirs)

set(KVR_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/kvr)
file(RELATIVE_PATH KVR_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/kvr)

# One version for every program, the splash window and the package.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/kvr_version.h
               @ONLY)
add_library(kvr_version INTERFACE)
add_library(kvr::version ALIAS kvr_version)
target_include_directories(kvr_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
