// Found before Qt's own header of that name by every source of a data
// library: each Qt Widgets header begins by including it.
#error "A data library does not use Qt Widgets: messages go through MsgBox, windows live in the ui libraries."
