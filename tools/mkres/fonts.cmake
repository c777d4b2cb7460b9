# The font maker rasterises with FreeType.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
target_link_libraries(mkres_lib PUBLIC PkgConfig::FREETYPE)
