// The translation unit that the tests' precompiled header is made from (tests/CMakeLists.txt).
