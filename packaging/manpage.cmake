# Writes a tool's manual page from its own --help text, so that the two always say the same.
#   cmake -DTOOL=path -DNAME=orvanta-state -DSUMMARY="..." -DVERSION=1.0 -DOUTPUT=file.1 -P manpage.cmake
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
    message(FATAL_ERROR "manpage: ${TOOL} --help failed")
endif()
# troff: backslashes written as \e, and a line may not begin with a control character.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER ${NAME} title)
string(REPLACE "-" "\\-" dashed ${NAME})
file(WRITE ${OUTPUT}
".TH ${title} 1 \"\" \"Orvanta ${VERSION}\" \"User Commands\"\n"
".SH NAME\n${dashed} \\- ${SUMMARY}\n"
".SH DESCRIPTION\nWhat \\fB${dashed} \\-\\-help\\fR prints:\n"
".PP\n.nf\n${help}.fi\n"
".SH SEE ALSO\n\\fBorvanta\\fR, the widget itself, which takes no arguments.\n")
