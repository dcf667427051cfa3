# Writes one desktop entry at install time: reads ENTRY_IN, puts the installed program folder
# BINDIR in place of @BINDIR@ (TryExec, a plain string) and @EXECDIR@ (inside a quoted Exec
# argument), the installed icon folder ICONDIR in place of @ICONDIR@ (Icon, a plain string) and
# the start through the shell in place of @LAUNCH@, and writes ENTRY_OUT.
#
# The programs read a file named on their command line from the current folder, so the entry
# starts a program in the folder of the file that it is given (%f): "Open with" in a file manager
# passes a whole path. The shell is the entry's program, and the program's path is an argument:
# launchers look for an entry's program before they put % field codes in, and a %% in its path
# (the written form of a % in the folder) would never be found.
#
# In Exec an argument stands in double quotes, so that a folder with blanks stays one argument;
# inside them ", `, $ and \ take a backslash, a % is written %% (a field code otherwise), and the
# string rule of the entry's values then doubles every backslash.
# The @...@ marks below are plain text, not variable references.
# The policy holds inside this script only (it is included from the install script).
cmake_policy(PUSH)
cmake_policy(SET CMP0053 NEW)

# The text of a quoted Exec argument, without its quotes.
function(quoted_exec_text out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "`" "\\`" text "${text}")
  string(REPLACE "$" "\\$" text "${text}")
  string(REPLACE "%" "%%" text "${text}")
  string(REPLACE "\\" "\\\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A plain string value: only its backslashes take the string rule's backslash.
function(plain_text out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

plain_text(plain "${BINDIR}")
plain_text(icons "${ICONDIR}")
quoted_exec_text(quoted "${BINDIR}")
# $0 is the program, $1 the file when there is one. The folder is the file's path up to its last
# slash, taken whole (a command substitution would drop line breaks at its end); one that cannot
# be entered is said on the error stream, and the program is not started on a file of the same
# name in another folder.
quoted_exec_text(script [=[[ $# -eq 0 ] || { case $1 in */*) d=${1%/*}/ ;; *) d=./ ;; esac; CDPATH= cd -- "$d" || { printf '%s: the folder of %s cannot be entered; the program was not started\n' "$0" "$1" >&2; exit 1; }; }; exec "$0" "$@"]=])
file(READ "${ENTRY_IN}" text)
string(REPLACE "@LAUNCH@" "sh -c \"${script}\"" text "${text}")
string(REPLACE "@EXECDIR@" "${quoted}" text "${text}")
string(REPLACE "@BINDIR@" "${plain}" text "${text}")
string(REPLACE "@ICONDIR@" "${icons}" text "${text}")
file(WRITE "${ENTRY_OUT}" "${text}")
cmake_policy(POP)
