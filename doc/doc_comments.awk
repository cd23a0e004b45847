# The headers' plain comments as doxygen reads them (its input filter):
#   awk -f doc_comments.awk <header>
# A block of // lines right above a declaration becomes a /// block, and the
# block that opens a header (the one above #pragma once) becomes the file's
# description. Comments above an #include, a closing brace, an access label
# or a blank line stay plain. Every line keeps its number, so that doxygen's
# messages point into the header as it is.

# The characters doxygen would take for commands, HTML or links are escaped
# outside `code` spans and "quoted text", which doxygen shows as they stand.
function escaped(text, out, c, i, quote) {
  out = ""
  quote = ""
  for (i = 1; i <= length(text); i++) {
    c = substr(text, i, 1)
    if (quote == "" && c == "'" && substr(text, i + 2, 1) == "'") {
      # A quoted character such as '"' opens nothing.
      out = out substr(text, i, 3)
      i += 2
      continue
    }
    if (quote == "" && (c == "`" || c == "\""))
      quote = c
    else if (c == quote)
      quote = ""
    else if (quote == "" && index("\\@<>&#%", c))
      out = out "\\"
    out = out c
  }
  return out
}

# A run of lines indented by three spaces or more is an example, shown as
# code: two more spaces make it a code block, which doxygen shows as it
# stands; a run that starts with a bullet or a number is an indented list.
function documented(line, text) {
  match(line, /\/\//)
  text = substr(line, RSTART + 2)
  if (text !~ /^   /)
    example = 0
  else if (!indented)
    example = text !~ /^ +([-*+]|[0-9]+\.) /
  indented = text ~ /^   /
  return substr(line, 1, RSTART - 1) "///" (example ? "  " text : escaped(text))
}

function comment(line) { return line ~ /^[ \t]*\/\// }

# What a comment right above it describes.
function declaration(line) {
  return line !~ /^[ \t]*$/ && line !~ /^[ \t]*#/ && line !~ /^[ \t]*}/ &&
         line !~ /^[ \t]*(public|protected|private)[ \t]*:/
}

{ lines[NR] = $0 }

END {
  for (i = 1; i <= NR; i = last + 1) {
    last = i
    if (!comment(lines[i]) || lines[i] ~ /^[ \t]*\/\/[\/!]/)
      continue
    while (last < NR && comment(lines[last + 1]))
      last++
    after = last < NR ? lines[last + 1] : ""
    opening = after ~ /^[ \t]*#[ \t]*pragma[ \t]+once/
    if (!opening && !declaration(after) && after !~ /^[ \t]*#[ \t]*define[ \t]/)
      continue
    indented = 0
    for (j = i; j <= last; j++)
      lines[j] = documented(lines[j])
    if (opening)
      lines[last + 1] = "/// \\file"
  }
  for (i = 1; i <= NR; i++)
    print lines[i]
}
