/* A library with a description but without the entry point. */
__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=No Entry\r";
