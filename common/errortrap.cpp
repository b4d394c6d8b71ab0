#include "errortrap.h"

#include <cerrno>

int32_t ErrorNumberFromErrno(int errnoValue) {
  switch (errnoValue) {
    case ENOENT:
      return kErrFileNotFound;
    case ENOTDIR:
      return kErrPathNotFound;
    case ENOSPC:
#ifdef EDQUOT  // no disk quotas in the Windows C library
    case EDQUOT:
#endif
    case EFBIG:
      return kErrDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
      return kErrPermissionDenied;
    case ENOMEM:
      return kErrOutOfMemory;
    case EMFILE:
    case ENFILE:
      return kErrTooManyFiles;
    case EEXIST:
      return kErrFileAlreadyExists;
    case EXDEV:
      return kErrRenameAcrossDisks;
    case ENAMETOOLONG:
    case EINVAL:
      return kErrBadFileName;
    case EIO:
      return kErrDiskMedia;
    case EBUSY:
    case ETXTBSY:
      return kErrInternal;
    default:
      return kErrPathAccess;
  }
}
