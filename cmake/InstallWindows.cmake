# The Windows copy (scripts/windows): the program and its HTTP module in one folder, as a Windows program
# keeps its DLLs beside itself. scripts/windows adds Qt's DLLs and plugins, the compiler's runtime, the
# client library, the translations and the fonts, then makes the installer and the portable zip of it.
install(TARGETS PeloraOrder RUNTIME DESTINATION .)
install(TARGETS pelora_http LIBRARY DESTINATION . RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
