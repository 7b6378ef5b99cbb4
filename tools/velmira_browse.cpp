// velmira-browse: the object browser's view of the library on the command line.
//
//   velmira-browse                  the library record, every class and the enumerations
//   velmira-browse Velmira.Tree     one class: description, interfaces, members with signatures
//
// Class names ignore letter case; the library prefix may be left out ("tree").
#include <cstdio>
#include <iostream>
#include <string>

#include "velmira/registry/browse.h"
#include "velmira/registry/catalogue.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cout << velmira::DescribeCatalogue();
    return 0;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    const velmira::ClassInfo* info = velmira::FindClass(name);
    if (!info) info = velmira::FindClass(std::string(velmira::Library().name) + "." + name);
    if (!info) {
      std::cerr << "velmira-browse: no class named " << name << '\n';
      status = 1;
      continue;
    }
    std::cout << velmira::DescribeClass(*info);
  }
  return status;
}
