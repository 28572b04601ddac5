#include "FormulaReference.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>

namespace {

constexpr std::int32_t kTangentGolden[1024] = {
#include "TangentTableGolden.inc"
};

std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

std::int32_t Saturate(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// Signed 32-bit quotient truncated toward zero; x / 0 = 0 and INT32_MIN / -1 = INT32_MIN.
std::int32_t Quotient(std::int32_t l, std::int32_t r) {
  if (r == 0) return 0;
  return Wrap(std::int64_t(l) / r);
}

std::int32_t Remainder(std::int32_t l, std::int32_t r) {
  if (r == 0) return 0;
  return static_cast<std::int32_t>(std::int64_t(l) % r);
}

// The channel value (0..255) of a pixel: red, green, blue, or opacity = 255 - transparency.
std::int32_t ChannelOf(std::uint32_t pixel, int channel) {
  switch (channel & 3) {
    case 0: return (pixel >> 16) & 255;
    case 1: return (pixel >> 8) & 255;
    case 2: return pixel & 255;
    default: return 255 - static_cast<std::int32_t>(pixel >> 24);
  }
}

// ---- Tokens ----------------------------------------------------------------------------

enum class Tok { kEnd, kNumber, kName, kOp, kPunct, kNot };

struct Token {
  Tok kind = Tok::kEnd;
  std::uint32_t number = 0;
  std::string text;  // operator spelling, punctuation character or name (cut to four)
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsSpecial(char c) { return std::strchr("|^&=!<>+-*/%()?:,~", c) != nullptr && c != 0; }

class Lexer {
 public:
  explicit Lexer(std::string text) : s_(std::move(text)) { s_.push_back('\0'); s_.push_back('\0'); }

  Token Next() {
    start_ = pos_;
    for (;;) {
      while (IsBlank(s_[pos_])) ++pos_;
      if (s_[pos_] == '/' && s_[pos_ + 1] == '/') {
        while (s_[pos_] != 0 && s_[pos_] != '\r' && s_[pos_] != '\n') ++pos_;
        continue;
      }
      break;
    }
    Token t;
    const char c = s_[pos_];
    if (c == 0) return t;
    if (c >= '0' && c <= '9') {
      t.kind = Tok::kNumber;
      if (c == '0' && (s_[pos_ + 1] == 'x' || s_[pos_ + 1] == 'X')) {
        pos_ += 2;
        while (std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
          const char h = s_[pos_++];
          t.number = t.number * 16 + (h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
        }
      } else {
        while (s_[pos_] >= '0' && s_[pos_] <= '9') t.number = t.number * 10 + (s_[pos_++] - '0');
      }
      return t;
    }
    if (std::strchr("()?:,~", c) != nullptr) {
      t.kind = Tok::kPunct;
      t.text = std::string(1, c);
      ++pos_;
      return t;
    }
    static const char* const kTwo[] = {"||", "&&", "==", "!=", "<<", "<=", ">>", ">="};
    for (const char* two : kTwo) {
      if (c == two[0] && s_[pos_ + 1] == two[1]) {
        t.kind = Tok::kOp;
        t.text.assign(two, 2);
        pos_ += 2;
        return t;
      }
    }
    if (std::strchr("|^&<>+-*/%", c) != nullptr) {
      t.kind = Tok::kOp;
      t.text = std::string(1, c);
      ++pos_;
      return t;
    }
    if (c == '!') {
      t.kind = Tok::kNot;
      ++pos_;
      return t;
    }
    t.kind = Tok::kName;
    if (c == '=') {
      t.text.assign(1, '=');
      ++pos_;
      return t;
    }
    std::string name;
    while (s_[pos_] != 0 && !IsBlank(s_[pos_]) && !IsSpecial(s_[pos_])) name.push_back(s_[pos_++]);
    t.text = name.substr(0, 4);
    return t;
  }

  int Position() const { return static_cast<int>(pos_); }
  int Start() const { return static_cast<int>(start_); }

 private:
  std::string s_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;
};

struct ParseError {};

}  // namespace

// ---- Tree ------------------------------------------------------------------------------

struct ReferenceFormula::Node {
  enum Kind { kNumber, kVariable, kUnary, kBinary, kConditional, kSequence, kCall } kind;
  std::uint32_t number = 0;
  std::string name;  // variable, function, or operator spelling ("neg", "not", "~" for unary)
  std::vector<std::unique_ptr<Node>> parts;
};

namespace {

using Node = ReferenceFormula::Node;
using NodePtr = std::unique_ptr<Node>;

int ArgumentCount(const std::string& name) {
  static const struct {
    const char* name;
    int count;
  } kFunctions[] = {{"abs", 1}, {"add", 3}, {"cnv", 10}, {"ctl", 1}, {"dif", 2}, {"put", 2}, {"get", 1},
                    {"map", 2}, {"max", 2}, {"min", 2},  {"sin", 1}, {"cos", 1}, {"tan", 1}, {"rad", 3},
                    {"mix", 4}, {"rnd", 2}, {"rst", 1},  {"scl", 5}, {"sqr", 1}, {"src", 3}, {"sub", 3},
                    {"val", 3}, {"c2d", 2}, {"c2m", 2},  {"r2x", 2}, {"r2y", 2}};
  for (const auto& f : kFunctions)
    if (name == f.name) return f.count;
  return -1;
}

bool IsVariable(const std::string& name) {
  static const char* const kVariables[] = {"r", "g", "b", "a", "c", "x", "y", "X", "Y", "i", "u",
                                           "v", "z", "Z", "d", "dmin", "D", "m", "mmin", "M", "V"};
  for (const char* v : kVariables)
    if (name == v) return true;
  return false;
}

int Level(const std::string& op) {
  static const char* const kLevels[][4] = {{"||"}, {"&&"}, {"|"}, {"^"}, {"&"}, {"==", "!="},
                                           {"<", "<=", ">", ">="}, {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"}};
  for (int level = 0; level < 10; ++level)
    for (const char* spelled : kLevels[level])
      if (spelled != nullptr && op == spelled) return level + 1;
  return 0;
}

class Parser {
 public:
  explicit Parser(Lexer& lexer) : lexer_(lexer) { Advance(); }

  NodePtr ParseFormula() {
    NodePtr root = ParseSequence();
    if (tok_.kind != Tok::kEnd) throw ParseError{};
    return root;
  }

 private:
  void Advance() { tok_ = lexer_.Next(); }
  bool IsPunct(char c) const { return tok_.kind == Tok::kPunct && tok_.text[0] == c; }

  NodePtr Make(Node::Kind kind) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    return node;
  }

  NodePtr ParseSequence() {
    NodePtr first = ParseConditional();
    if (!IsPunct(',')) return first;
    NodePtr seq = Make(Node::kSequence);
    seq->parts.push_back(std::move(first));
    while (IsPunct(',')) {
      Advance();
      seq->parts.push_back(ParseConditional());
    }
    return seq;
  }

  NodePtr ParseConditional() {
    NodePtr condition = ParseBinary(1);
    if (!IsPunct('?')) return condition;
    NodePtr node = Make(Node::kConditional);
    node->parts.push_back(std::move(condition));
    Advance();
    node->parts.push_back(ParseSequence());
    if (!IsPunct(':')) throw ParseError{};
    Advance();
    node->parts.push_back(ParseConditional());
    return node;
  }

  NodePtr ParseBinary(int level) {
    if (level > 10) return ParseUnary();
    NodePtr left = ParseBinary(level + 1);
    while (tok_.kind == Tok::kOp && Level(tok_.text) == level) {
      NodePtr node = Make(Node::kBinary);
      node->name = tok_.text;
      Advance();
      node->parts.push_back(std::move(left));
      node->parts.push_back(ParseBinary(level + 1));
      left = std::move(node);
    }
    return left;
  }

  NodePtr ParseUnary() {
    const char* op = nullptr;
    if (tok_.kind == Tok::kOp && tok_.text == "-") op = "neg";
    else if (tok_.kind == Tok::kNot) op = "not";
    else if (IsPunct('~')) op = "~";
    else if (tok_.kind == Tok::kOp && tok_.text == "+") op = "+";
    if (op == nullptr) return ParseOperand();
    Advance();
    NodePtr operand = ParseUnary();
    if (std::string(op) == "+") return operand;
    NodePtr node = Make(Node::kUnary);
    node->name = op;
    node->parts.push_back(std::move(operand));
    return node;
  }

  NodePtr ParseOperand() {
    if (tok_.kind == Tok::kNumber) {
      NodePtr node = Make(Node::kNumber);
      node->number = tok_.number;
      Advance();
      return node;
    }
    if (IsPunct('(')) {
      Advance();
      NodePtr inner = ParseSequence();
      if (!IsPunct(')')) throw ParseError{};
      Advance();
      return inner;
    }
    if (tok_.kind != Tok::kName) throw ParseError{};
    const std::string name = tok_.text;
    if (IsVariable(name)) {
      NodePtr node = Make(Node::kVariable);
      node->name = name;
      Advance();
      return node;
    }
    const int count = ArgumentCount(name);
    if (count < 0) throw ParseError{};
    NodePtr call = Make(Node::kCall);
    call->name = name;
    Advance();
    if (!IsPunct('(')) throw ParseError{};
    for (int k = 0; k < count; ++k) {
      Advance();
      call->parts.push_back(ParseConditional());
      if (!IsPunct(k + 1 < count ? ',' : ')')) throw ParseError{};
    }
    Advance();
    return call;
  }

  Lexer& lexer_;
  Token tok_;
};

// ---- Evaluation ------------------------------------------------------------------------

struct Pixel {
  const TestPicture& picture;
  int x, y, channel;
  ReferenceRunState& state;
};

std::int32_t Eval(const Node& n, const Pixel& p);

std::int32_t Variable(const std::string& name, const Pixel& p) {
  const std::uint32_t pixel = p.picture.At(p.y, p.x);
  const std::int32_t r = ChannelOf(pixel, 0), g = ChannelOf(pixel, 1), b = ChannelOf(pixel, 2),
                     a = ChannelOf(pixel, 3);
  const std::int64_t dx = 2 * std::int64_t(p.x) - p.picture.width, dy = 2 * std::int64_t(p.y) - p.picture.height;
  if (name == "r") return r;
  if (name == "g") return g;
  if (name == "b") return b;
  if (name == "a") return a;
  if (name == "c") return ChannelOf(pixel, p.channel);
  if (name == "x") return p.x;
  if (name == "y") return p.y;
  if (name == "X") return p.picture.width;
  if (name == "Y") return p.picture.height;
  if (name == "i") return (76 * r + 150 * g + 29 * b) >> 8;
  if (name == "u") return (56 * b - 37 * g - 19 * r) >> 8;
  if (name == "v") return (78 * r - 65 * g - 13 * b) >> 8;
  if (name == "z") return p.channel;
  if (name == "Z") return 3;
  if (name == "d") return formula_reference::Angle(dx, dy);
  if (name == "D") return 1024;
  if (name == "m") return formula_reference::RoundedRoot((long double)(dx * dx + dy * dy)) >> 1;
  if (name == "M") {
    const double w = p.picture.width, h = p.picture.height;
    return static_cast<std::int32_t>(std::sqrt(w * w + h * h) * 0.5);
  }
  if (name == "V") return 255;
  return 0;  // dmin, mmin
}

std::int32_t Binary(const std::string& op, std::int32_t l, std::int32_t r) {
  const std::uint32_t ul = static_cast<std::uint32_t>(l), ur = static_cast<std::uint32_t>(r);
  if (op == "|") return l | r;
  if (op == "^") return l ^ r;
  if (op == "&") return l & r;
  if (op == "||") return (l | r) != 0;
  if (op == "&&") return (l & r) != 0;
  if (op == "==") return l == r;
  if (op == "!=") return l != r;
  if (op == "<") return l < r;
  if (op == "<=") return l <= r;
  if (op == ">") return l > r;
  if (op == ">=") return l >= r;
  if (op == "<<") return static_cast<std::int32_t>(ul << (ur & 31));
  if (op == ">>") return static_cast<std::int32_t>(ul >> (ur & 31));
  if (op == "+") return Wrap(std::int64_t(l) + r);
  if (op == "-") return Wrap(std::int64_t(l) - r);
  if (op == "*") return Wrap(std::int64_t(l) * r);
  if (op == "/") return Quotient(l, r);
  return Remainder(l, r);
}

// A channel of the pixel at (row, column), clamped into the picture.
std::int32_t Source(const Pixel& p, std::int64_t column, std::int64_t row, std::int32_t channel) {
  return ChannelOf(p.picture.At(row, column), channel & 3);
}

std::int32_t Call(const std::string& f, const std::vector<std::int32_t>& a, const Pixel& p) {
  ReferenceRunState& s = p.state;
  if (f == "abs") return a[0] < 0 ? Wrap(-std::int64_t(a[0])) : a[0];
  if (f == "add") return std::min(Wrap(std::int64_t(a[0]) + a[1]), a[2]);
  if (f == "sub") return std::max(Wrap(std::int64_t(a[0]) - a[1]), a[2]);
  if (f == "dif") {
    const std::int32_t d = Wrap(std::int64_t(a[0]) - a[1]);
    return d < 0 ? Wrap(-std::int64_t(d)) : d;
  }
  if (f == "max") return std::max(a[0], a[1]);
  if (f == "min") return std::min(a[0], a[1]);
  if (f == "ctl") return s.sliders[a[0] & 7];
  if (f == "val") {
    const std::int64_t product = std::int64_t(Wrap(std::int64_t(a[2]) - a[1])) * s.sliders[a[0] & 7];
    return Wrap(a[1] + std::int64_t(Saturate((product + 127) / 255)));
  }
  if (f == "map") {
    const int k = a[1] & 3;
    const std::int64_t lo = s.sliders[2 * k + 1], hi = s.sliders[2 * k], i = a[0];
    if (i <= lo) return 0;
    if (i >= hi) return 255;
    return static_cast<std::int32_t>((i - lo) * 255 / (hi - lo));
  }
  if (f == "mix") {
    const std::int32_t diff = Wrap(std::int64_t(a[0]) - a[1]), d = a[3];
    if (d == 0) return Wrap(std::int64_t(diff) * a[2]);
    const std::int64_t q = (std::int64_t(diff) * a[2] + (d >> 1)) / d;
    return Wrap(a[1] + std::int64_t(Saturate(q)));
  }
  if (f == "scl") {
    const std::int32_t in = Wrap(std::int64_t(a[2]) - a[1]), out = Wrap(std::int64_t(a[4]) - a[3]);
    if (in == 0) return out;
    const std::int64_t q = (std::int64_t(Wrap(std::int64_t(a[0]) - a[1])) * out + (in >> 1)) / in;
    return Wrap(a[3] + std::int64_t(Saturate(q)));
  }
  if (f == "rnd") {
    s.seed = s.seed * 1103515245u + 12345u;
    const std::int32_t range = Wrap(std::int64_t(a[1]) - a[0] + 1);
    const std::int32_t scaled = Wrap(std::int64_t(range) * ((s.seed >> 16) & 32767));
    return Wrap(std::int64_t(a[0]) + (scaled >> 15));
  }
  if (f == "rst") {
    s.seed = static_cast<std::uint32_t>(a[0]);
    return a[0];
  }
  if (f == "get") return s.cells[a[0] & 1023];
  if (f == "put") {
    s.cells[a[1] & 1023] = a[0];
    return a[0];
  }
  if (f == "src") return Source(p, a[0], a[1], a[2]);
  if (f == "cnv") {
    std::int32_t sum = 0;
    for (int k = 0; k < 9; ++k) {
      const std::int32_t value = Source(p, std::int64_t(p.x) + k % 3 - 1, std::int64_t(p.y) + k / 3 - 1, p.channel);
      sum = Wrap(std::int64_t(sum) + std::int64_t(Wrap(std::int64_t(a[k]) * value)));
    }
    return a[9] == 0 ? sum : Quotient(sum, a[9]);
  }
  if (f == "sqr") return a[0] <= 0 ? 0 : formula_reference::RoundedRoot((long double)a[0]);
  if (f == "c2d") {
    if (a[0] == 0) return a[1] == 0 ? 0 : (a[1] > 0 ? 256 : -256);
    return formula_reference::Angle(a[0], a[1]);
  }
  if (f == "c2m") {
    const long double x = a[0], y = a[1];
    return formula_reference::RoundedRoot(x * x + y * y);
  }
  if (f == "sin") return formula_reference::Sine(a[0]);
  if (f == "cos") return formula_reference::Cosine(a[0]);
  if (f == "tan") return formula_reference::Tangent(a[0]);
  if (f == "r2x") return Wrap(std::int64_t(Wrap(std::int64_t(a[1]) * formula_reference::Cosine(a[0]))) + 256) >> 9;
  if (f == "r2y") return Wrap(std::int64_t(Wrap(std::int64_t(a[1]) * formula_reference::Sine(a[0]))) + 256) >> 9;
  // rad
  const std::int32_t cx = Wrap(std::int64_t(a[1]) * formula_reference::Cosine(a[0])) >> 8;
  const std::int32_t cy = Wrap(std::int64_t(a[1]) * formula_reference::Sine(a[0])) >> 8;
  return Source(p, Wrap(std::int64_t(cx) + p.picture.width) >> 1, Wrap(std::int64_t(cy) + p.picture.height) >> 1,
                a[2]);
}

std::int32_t Eval(const Node& n, const Pixel& p) {
  switch (n.kind) {
    case Node::kNumber:
      return static_cast<std::int32_t>(n.number);
    case Node::kVariable:
      return Variable(n.name, p);
    case Node::kUnary: {
      const std::int32_t v = Eval(*n.parts[0], p);
      if (n.name == "neg") return Wrap(-std::int64_t(v));
      if (n.name == "not") return v == 0;
      return ~v;
    }
    case Node::kBinary: {
      const std::int32_t l = Eval(*n.parts[0], p);
      const std::int32_t r = Eval(*n.parts[1], p);
      return Binary(n.name, l, r);
    }
    case Node::kConditional:
      return Eval(*n.parts[Eval(*n.parts[0], p) != 0 ? 1 : 2], p);
    case Node::kSequence: {
      std::int32_t last = 0;
      for (const auto& part : n.parts) last = Eval(*part, p);
      return last;
    }
    case Node::kCall: {
      std::vector<std::int32_t> args;
      for (const auto& part : n.parts) args.push_back(Eval(*part, p));
      return Call(n.name, args, p);
    }
  }
  return 0;
}

}  // namespace

std::uint32_t TestPicture::At(std::int64_t row, std::int64_t column) const {
  if (row < 0) row = 0;
  if (row >= height) row = height - 1;
  if (column < 0) column = 0;
  if (column >= width) column = width - 1;
  return pixels[static_cast<std::size_t>(row * width + column)];
}

ReferenceFormula::ReferenceFormula(std::string_view text) {
  std::string source(text.substr(0, std::min(text.find('\0'), std::size_t(1024))));
  Lexer lexer(source);
  try {
    Parser parser(lexer);
    root_ = parser.ParseFormula();
  } catch (const ParseError&) {
    root_.reset();
    errorPosition_ = lexer.Position();
    errorLength_ = lexer.Position() - lexer.Start();
  }
}

ReferenceFormula::~ReferenceFormula() = default;
ReferenceFormula::ReferenceFormula(ReferenceFormula&&) noexcept = default;
ReferenceFormula& ReferenceFormula::operator=(ReferenceFormula&&) noexcept = default;

std::int32_t ReferenceFormula::Evaluate(const TestPicture& picture, int x, int y, int channel,
                                        ReferenceRunState& state) const {
  if (!root_) return 0;
  return Eval(*root_, Pixel{picture, x, y, channel, state});
}

namespace formula_reference {

std::int32_t Sine(std::int32_t n) {
  return static_cast<std::int32_t>(std::trunc(512.0 * std::sin(2.0 * std::numbers::pi * (n & 1023) / 1024.0)));
}

std::int32_t Cosine(std::int32_t n) {
  return static_cast<std::int32_t>(std::trunc(512.0 * std::cos(2.0 * std::numbers::pi * (n & 1023) / 1024.0)));
}

std::int32_t Tangent(std::int32_t n) { return kTangentGolden[n & 1023]; }

std::int32_t Angle(std::int64_t dx, std::int64_t dy) {
  // The angle scale is the single-precision 512/pi of the pixel context; the arctangent and
  // the product are taken in the x87's extended precision, as the routines do.
  const long double scale = static_cast<float>(512.0 / std::numbers::pi);
  return static_cast<std::int32_t>(std::lrint(std::atan2(static_cast<long double>(dy), static_cast<long double>(dx)) * scale));
}

std::int32_t RoundedRoot(long double value) {
  if (value < 0) return 0;
  const long double root = std::rint(std::sqrt(value));
  if (root > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(root);
}

}  // namespace formula_reference
