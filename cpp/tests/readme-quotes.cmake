# SPDX-License-Identifier: MIT
# Fails unless README holds the text of EXAMPLE verbatim (from its first
# #include line on), so that the README's program is the tested one.
file(READ "${README}" readme)
file(READ "${EXAMPLE}" example)
string(FIND "${example}" "#include" start)
string(SUBSTRING "${example}" ${start} -1 body)
string(FIND "${readme}" "${body}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "README.md does not quote ${EXAMPLE} from its first #include on")
endif()
