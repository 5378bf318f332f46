# Fails when a file of src/ opens a file for writing, or copies one, under its final name: every
# file the program writes goes through platform::WholeFile (src/platform/whole_file.*), which
# writes under a temporary name and renames, so that a failure or a kill never leaves a part of
# a file under its name.
# cmake -DSOURCE_DIR=<src> -P whole_files.cmake
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE files ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
list(FILTER files EXCLUDE REGEX "/platform/whole_file\\.(h|cpp)$")
set(writing "QIODevice::(WriteOnly|ReadWrite|Append|Truncate)|O_(WRONLY|RDWR|CREAT|TRUNC)\
|fopen|ofstream|std::fstream|QSaveFile|copy_file|QFile::copy|creat\\(")
set(offending "")
foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "${writing}")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        list(APPEND offending "${file}: ${line}")
    endforeach()
endforeach()
if(offending)
    list(JOIN offending "\n" shown)
    message(FATAL_ERROR "Files written outside platform::WholeFile:\n${shown}")
endif()
list(LENGTH files checked)
message(STATUS "${checked} files write through platform::WholeFile only")
