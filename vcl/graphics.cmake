# Modules of this area: target_sources(vcl_portable ...) for portable ones,
# target_sources(vcl ...) inside if(WIN32) for the Windows ones.
