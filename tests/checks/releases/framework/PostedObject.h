// clang-format off
// The hand-over of posted objects may give a unique_ptr's object up.
    object.release();  // allowed
    CloseHandle(handle);  // reported
