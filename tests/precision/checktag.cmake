# SPDX-License-Identifier: MIT
# Runs the precision generator's check on TEXT as if it were a tagged file.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/Precision.cmake")
quolm_check_tagged(sample32f.h "${TEXT}")
message(STATUS "tag check passed")
