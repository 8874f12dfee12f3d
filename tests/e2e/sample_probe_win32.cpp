// Prints the interface rows of a few snapshots taken by the tool's own
// sampling code: "row <alias> <type> <in-octets> <out-octets>", then "adapter
// <name> <ipv4 text>" for each adapter and "end" after each snapshot.
//   sample_probe [snapshots] [interval-ms]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "common/u_common.h"
#include "sampling/u_iphlpapi.h"
#include "sampling/u_iphlpapi_win32.h"
#include "sampling/u_timer.h"

int main(int argc, char** argv) {
  const int snapshots = argc > 1 ? std::atoi(argv[1]) : 1;
  const int interval = argc > 2 ? std::atoi(argv[2]) : 500;
  if (!BindIpHelper()) {
    std::printf("bind failed\n");
    return 2;
  }
  int failures = 0;
  for (int i = 0; i < snapshots; ++i) {
    if (i > 0) Sleep(interval);
    std::lock_guard lock(SampleLock);
    if (!SampleInterfaces()) {
      ++failures;
      std::printf("failed\n");
      continue;
    }
    for (const TMibIfRow2& row : IfTable.Table) {
      const std::wstring alias = Utf16ToText(row.Alias, IfMaxStringSize + 1);
      std::printf("row %ls %u %llu %llu\n", alias.c_str(), row.Type,
                  static_cast<unsigned long long>(row.InOctets),
                  static_cast<unsigned long long>(row.OutOctets));
    }
    for (const TOwnAdapterInfo& a : Adapters) {
      std::wstring v4 = a.IPv4Text;
      for (wchar_t& c : v4)
        if (c == L'\r' || c == L'\n') c = L',';
      std::printf("adapter %ls %ls\n", a.AdapterName.c_str(), v4.empty() ? L"-" : v4.c_str());
    }
    std::printf("end\n");
    std::fflush(stdout);
  }
  UnbindIpHelper();
  return failures == snapshots ? 1 : 0;
}
