// zantor_large_member FILE MIB NAME: writes a Hrip archive with one member
// NAME of MIB MiB (in blocks of 65535 bytes), made by the test packer; the
// archive itself takes about 90 bytes a block. For the file manager's
// progress and Cancel, where a member must take seconds to unpack.
#include <cstdlib>
#include <string>

#include "support/large_member.h"
#include "write_file.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const uint32_t blocks = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) * 16;
  if (blocks == 0 || blocks > 32767) return 2;
  return zantor::test::WriteBytes(argv[1], zantor::test::ArchiveOfMembers({zantor::test::LargeMember(blocks, argv[3])}))
             ? 0
             : 1;
}
