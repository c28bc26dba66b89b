#include "tools/package/package.h"

#include <filesystem>
#include <fstream>

#include "tools/workspace.h"

namespace sevrik::tools {
namespace fs = std::filesystem;

namespace {
void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}
}  // namespace

void LayOutPackage(const std::string& package_folder, const std::string& bin_dir, const PackageOptions& o) {
  const fs::path pkg(package_folder);
  for (const char* dir : {"ipdata", "entity0/flat", "entity0/log"}) fs::create_directories(pkg / dir);
  if (o.ranuvel) InstallProgram(bin_dir + "/ranuvel", package_folder, "ranuvel.exe");
  if (o.p_edi) {
    InstallProgram(bin_dir + "/EXPORT", package_folder, "EXPORT.exe");
    Write(pkg / "p_edi.exe", "");
  }
  Write(pkg / "TPBQUE.ext", "[Profile]\r\nName=TPBQUE\r\nMessage=CUSDEC\r\n");
  Write(pkg / "TPBUNQ.EXT", "[Profile]\r\nName=TPBUNQ\r\nMessage=CUSDEC\r\nFunction=1\r\n");
  Write(pkg / "TPBCOM.ext", "[Profile]\r\nName=TPBCOM\r\nLine=Leased Line\r\n");
  Write(pkg / "entity0/log/status.txt",
        "107|00|SUKSES|Dokumen berhasil diproses\r\n"
        "201|01|GAGAL|Struktur flat file tidak valid\r\n"
        "202|01|GAGAL|Partner tidak terdaftar\r\n"
        "301|02|GAGAL|Referensi tidak ditemukan\r\n"
        "302|02|GAGAL|Jenis dokumen tidak sesuai\r\n"
        "999|09|GAGAL|Kesalahan sistem translator\r\n");
}

}  // namespace sevrik::tools
