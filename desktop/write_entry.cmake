# Writes one desktop entry at install time: reads ENTRY_IN, puts the installed program folder
# BINDIR in place of @BINDIR@ (TryExec, a plain string) and @EXECDIR@ (Exec, a quoted argument),
# and writes ENTRY_OUT.
# In Exec the path stands in double quotes, so that a folder with blanks stays one argument;
# inside them ", `, $ and \ take a backslash, and the string rule then doubles every backslash.
# A % is written %% (a field code otherwise).
# The @...@ marks below are plain text, not variable references.
# The policy holds inside this script only (it is included from the install script).
cmake_policy(PUSH)
cmake_policy(SET CMP0053 NEW)
string(REPLACE "\\" "\\\\" plain "${BINDIR}")
set(quoted "${BINDIR}")
string(REPLACE "\\" "\\\\\\\\" quoted "${quoted}")
string(REPLACE "\"" "\\\\\"" quoted "${quoted}")
string(REPLACE "`" "\\\\`" quoted "${quoted}")
string(REPLACE "$" "\\\\$" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
file(READ "${ENTRY_IN}" text)
string(REPLACE "@EXECDIR@" "${quoted}" text "${text}")
string(REPLACE "@BINDIR@" "${plain}" text "${text}")
file(WRITE "${ENTRY_OUT}" "${text}")
cmake_policy(POP)
