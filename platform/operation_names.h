// windows.h maps these names to their A or W forms by macros; in this program
// they are the names of the Host and Ui operations, and the Win32 forms are
// called explicitly. Included by platform.h and again after every windows.h,
// so it has no include guard.
#undef MessageBox
#undef DeleteFile
#undef CopyFile
#undef SetFileAttributes
#undef SetCurrentDirectory
#undef ReplaceFile
#undef RemoveDirectory
