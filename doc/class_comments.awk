# Every public class opens with a comment that says what it is for; the API
# reference shows that comment as the class's description.
#   awk [-v fail=1] -f class_comments.awk <header>...
# prints "warning: <header>:<line>: class <Name> has no opening comment" for
# each class or struct defined at namespace scope (also through the
# exception macros) without a // comment on the line right above it or above
# its template line; with fail=1 such a class fails the check.

FNR == 1 {
  depth = 0        # open braces other than namespaces'
  opened = 0       # open braces of all kinds; kinds[i]: the i-th is a namespace's
  pending = ""     # a class head whose { or ; is still to come
  in_block = 0     # inside /* ... */
  in_macro = 0     # inside a #define continued by backslashes
  previous = ""
  before_previous = ""
}

function warn(kind, name, line) {
  printf "warning: %s:%d: %s %s has no opening comment\n", FILENAME, line, kind, name
  warnings++
}

# Whether the line above the class (or above its template line) is a comment.
function commented(above, above_template) {
  if (above ~ /^[ \t]*template[ \t]*</)
    above = above_template
  return above ~ /^[ \t]*\/\// || above ~ /\*\/[ \t]*$/
}

# The line without comments, string and character literals.
function code(line, out, c, i, quote) {
  out = ""
  for (i = 1; i <= length(line); i++) {
    c = substr(line, i, 2)
    if (in_block) {
      if (c == "*/") {
        in_block = 0
        i++
      }
      continue
    }
    if (c == "/*") {
      in_block = 1
      i++
      continue
    }
    if (c == "//")
      break
    c = substr(line, i, 1)
    if (c == "\"" || c == "'") {
      quote = c
      for (i++; i <= length(line) && substr(line, i, 1) != quote; i++)
        if (substr(line, i, 1) == "\\")
          i++
      out = out " "
      continue
    }
    out = out c
  }
  return out
}

# The braces of one line of code: namespaces' do not count towards depth.
function braces(text, i, c, start) {
  start = 1
  for (i = 1; i <= length(text); i++) {
    c = substr(text, i, 1)
    if (c == "{") {
      opened++
      kinds[opened] = substr(text, start, i - start) ~ /(^|[^A-Za-z0-9_])(namespace([ \t]+[A-Za-z0-9_:]+)?|extern)[ \t]*$/
      if (!kinds[opened])
        depth++
    } else if (c == "}" && opened > 0) {
      if (!kinds[opened--])
        depth--
    }
    if (c == "{" || c == "}" || c == ";")
      start = i + 1
  }
}

{
  line = $0
  if (in_macro) {
    in_macro = line ~ /\\[ \t]*$/
    next
  }
  if (!in_block && line ~ /^[ \t]*#/) {
    in_macro = line ~ /\\[ \t]*$/
    before_previous = previous
    previous = line
    next
  }
  text = code(line)
  if (depth == 0 && pending == "") {
    if (match(text, /^[ \t]*(template[ \t]*<.*>[ \t]*)?(class|struct)[ \t]+/)) {
      head = substr(text, RSTART + RLENGTH)
      kind = text ~ /(^|[ \t>])struct[ \t]/ ? "struct" : "class"
      gsub(/(VOSKO_API|final|alignas\([^)]*\)|\[\[[^]]*\]\])[ \t]*/, "", head)
      if (match(head, /^[A-Za-z_][A-Za-z0-9_]*/)) {
        pending = substr(head, 1, RLENGTH)
        pending_line = FNR
        pending_commented = commented(previous, before_previous)
      }
    } else if (match(text, /^[ \t]*VOSKO_(DOM_)?EXCEPTION\([ \t]*[A-Za-z_][A-Za-z0-9_]*/)) {
      name = substr(text, RSTART, RLENGTH)
      sub(/^.*\([ \t]*/, "", name)
      if (!commented(previous, before_previous))
        warn("class", name, FNR)
    }
  }
  if (pending != "") {
    # A definition opens its body before any semicolon; a declaration ends
    # without one.
    brace = index(text, "{")
    semicolon = index(text, ";")
    if (brace && (!semicolon || brace < semicolon)) {
      if (!pending_commented)
        warn(kind, pending, pending_line)
      pending = ""
    } else if (semicolon) {
      pending = ""
    }
  }
  braces(text)
  before_previous = previous
  previous = line
}

END { exit fail && warnings > 0 }
