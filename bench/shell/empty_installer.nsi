; The peer installer system's smallest installer: one page, one empty
; section, nothing installed. makensis -DOUTPUT=<path> writes it.
Name "Empty"
OutFile "${OUTPUT}"
RequestExecutionLevel user
Page instfiles
Section
SectionEnd
