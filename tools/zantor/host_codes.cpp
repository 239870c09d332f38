#include "zantor/host_codes.h"

#include "plugin/wcx.h"

namespace zantor {

const char* HostCodeText(int code) {
  switch (code) {
    case 0: return "success";
    case wcx::E_END_ARCHIVE: return "end of archive";
    case wcx::E_NO_MEMORY: return "not enough memory";
    case wcx::E_BAD_DATA: return "bad data";
    case wcx::E_BAD_ARCHIVE: return "bad archive";
    case wcx::E_UNKNOWN_FORMAT: return "unknown format";
    case wcx::E_EOPEN: return "cannot open the file";
    case wcx::E_ECREATE: return "cannot create the file";
    case wcx::E_ECLOSE: return "cannot close the file";
    case wcx::E_EREAD: return "cannot read the file";
    case wcx::E_EWRITE: return "cannot write the file";
    case wcx::E_SMALL_BUF: return "buffer too small";
    case wcx::E_EABORTED: return "aborted";
    case wcx::E_NO_FILES: return "no files";
    case wcx::E_TOO_MANY_FILES: return "too many files";
    case wcx::E_NOT_SUPPORTED: return "not supported";
    default: return "failed";
  }
}

}  // namespace zantor
