// A file of mainwindow/ that stands in no room.  // reported
