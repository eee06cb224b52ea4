#include <cerrno>
#include <iconv.h>
#include <stdexcept>

#include "text/platform/code_page.h"

namespace ct::code_page {

namespace {

// CP936 is the Windows code page the host writes; glibc's GBK lacks its
// euro sign at 0x80.
constexpr const char* kCodePage = "CP936";

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  size_t Run(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buffer[4096];
    // Goes on only after a full buffer, which always holds a converted character.
    while (src_left > 0) {
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buffer, sizeof buffer - dst_left);
      if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return in.size() - src_left;
  }

 private:
  iconv_t cd_;
};

}  // namespace

size_t Cp936ToUtf8(std::string_view in, std::string& out) {
  thread_local Converter converter("UTF-8", kCodePage);
  return converter.Run(in, out);
}

size_t Utf8ToCp936(std::string_view in, std::string& out) {
  thread_local Converter converter(kCodePage, "UTF-8");
  return converter.Run(in, out);
}

}  // namespace ct::code_page
