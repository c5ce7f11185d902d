# Turns the output of `javap -s -p -constants` into the class manifest the test VM reads:
#   class <internal name> super <internal name or -> [interface] [abstract]
#   implements <internal name> <internal interface name>
#   method <internal class> <name> <descriptor> <flags>
#   field <internal class> <name> <descriptor> <flags> [= <decimal value>]
# Flags are the member's modifiers among static,native,public,private,protected,final,abstract, in
# javap's order, comma-separated, or "-". Interfaces and java.lang.Object have super "-", as JNI's
# GetSuperclass answers for them; an interface is marked "interface" (not also "abstract"), and its
# super-interfaces become implements lines. A static initializer is the method <clinit>.
# Constant values are written for integral fields only (int, long, short, byte, char).
# POSIX awk (runs under mawk).

BEGIN {
    n = split("static native public private protected final abstract", allowed, " ")
    for (i = 1; i <= n; i++) isFlag[allowed[i]] = 1
    for (i = 32; i < 127; i++) charCode[sprintf("%c", i)] = i
    hexDigits = "0123456789abcdef"
    current = ""
    pending = ""
}

function fail(message) {
    print "javap_to_manifest: " message " (line " NR ": " $0 ")" > "/dev/stderr"
    failed = 1
    exit 1
}

# Removes every balanced <...> group (generic arguments and type parameters).
function stripGenerics(text,    out, depth, i, c) {
    out = ""
    depth = 0
    for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "<") depth++
        else if (c == ">") depth--
        else if (depth == 0) out = out c
    }
    if (depth != 0) fail("unbalanced generic brackets")
    return out
}

function internalName(dotted) {
    gsub(/\./, "/", dotted)
    return dotted
}

function trim(text) {
    sub(/^[ \t]+/, "", text)
    sub(/[ \t]+$/, "", text)
    return text
}

# Comma-separated modifiers among those before the member's type or name, or "-".
function flagsOf(words, count,    i, out) {
    out = ""
    for (i = 1; i <= count; i++)
        if (words[i] in isFlag) out = out (out == "" ? "" : ",") words[i]
    return out == "" ? "-" : out
}

function hexValue(hex,    i, value) {
    value = 0
    hex = tolower(hex)
    for (i = 1; i <= length(hex); i++) value = value * 16 + index(hexDigits, substr(hex, i, 1)) - 1
    return value
}

# javap prints char constants as 'x', '\n'-style escapes or '\uXXXX'.
function charValue(literal,    body) {
    body = substr(literal, 2, length(literal) - 2)
    if (body ~ /^\\u[0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F]$/) return hexValue(substr(body, 3))
    if (body == "\\b") return 8
    if (body == "\\t") return 9
    if (body == "\\n") return 10
    if (body == "\\f") return 12
    if (body == "\\r") return 13
    if (body == "\\\"") return 34
    if (body == "\\'") return 39
    if (body == "\\\\") return 92
    if (length(body) == 1 && (body in charCode)) return charCode[body]
    fail("unknown char constant " literal)
}

# The decimal text of an integral constant, kept as text so that longs stay exact.
function constantValue(descriptor, literal) {
    if (descriptor == "C") return charValue(literal)
    if (descriptor ~ /^[IJSB]$/) {
        sub(/[lL]$/, "", literal)
        if (literal !~ /^-?[0-9]+$/) fail("unexpected integral constant " literal)
        return literal
    }
    return ""
}

function classHeader(line,    text, words, count, i, kind, name, super, flags, section, list, parts, j, iface) {
    text = stripGenerics(line)
    sub(/[ \t]*\{[ \t]*$/, "", text)
    gsub(/,/, ", ", text)
    count = split(text, words, /[ \t]+/)
    kind = ""
    for (i = 1; i <= count; i++) {
        if (words[i] == "class" || words[i] == "interface") { kind = words[i]; break }
    }
    if (kind == "" || i == count) fail("unrecognised class header")
    name = internalName(words[i + 1])
    flags = ""
    for (j = 1; j < i; j++) if (words[j] == "abstract") flags = " abstract"
    if (kind == "interface") flags = " interface"
    super = (kind == "interface" || name == "java/lang/Object") ? "-" : "java/lang/Object"
    nIfaces = 0
    section = ""
    for (j = i + 2; j <= count; j++) {
        if (words[j] == "extends" || words[j] == "implements" || words[j] == "permits") { section = words[j]; continue }
        iface = words[j]
        sub(/,$/, "", iface)
        if (iface == "") continue
        if (section == "extends" && kind == "class") super = internalName(iface)
        else if (section == "extends" || section == "implements") ifaces[++nIfaces] = internalName(iface)
    }
    current = name
    print "class " name " super " super flags
    for (j = 1; j <= nIfaces; j++) print "implements " name " " ifaces[j]
}

# A member declaration; written out once its descriptor line arrives.
function memberLine(line) {
    if (pending != "") fail("member without descriptor: " pending)
    pending = trim(line)
}

function emitMember(descriptor,    decl, value, eq, words, count, paren, name, flags, i, allModifiers) {
    decl = pending
    pending = ""
    sub(/;$/, "", decl)
    if (decl == "static {}") {
        print "method " current " <clinit> " descriptor " static"
        return
    }
    if (substr(descriptor, 1, 1) == "(") {
        decl = stripGenerics(decl)
        paren = index(decl, "(")
        if (paren == 0) fail("method without parameter list")
        count = split(trim(substr(decl, 1, paren - 1)), words, /[ \t]+/)
        name = words[count]
        # A constructor has no result type: every word before its name is a modifier.
        allModifiers = 1
        for (i = 1; i < count; i++)
            if (!(words[i] in isFlag) && words[i] !~ /^(synchronized|strictfp|default)$/) allModifiers = 0
        if (allModifiers) name = "<init>"
        print "method " current " " name " " descriptor " " flagsOf(words, count - 1)
        return
    }
    value = ""
    eq = index(decl, " = ")
    if (eq > 0) {
        value = substr(decl, eq + 3)
        decl = substr(decl, 1, eq - 1)
    }
    count = split(trim(stripGenerics(decl)), words, /[ \t]+/)
    name = words[count]
    flags = flagsOf(words, count - 1)
    if (value != "") value = constantValue(descriptor, value)
    print "field " current " " name " " descriptor " " flags (value == "" ? "" : " = " value)
}

/^Compiled from / { next }
/^(Warning|Error):/ { fail("javap reported a problem") }
/^[ \t]*$/ { next }
/^}$/ {
    if (current == "") fail("closing brace outside a class")
    if (pending != "") fail("member without descriptor: " pending)
    current = ""
    next
}
/^[^ \t]/ {
    if (current != "") fail("class header inside a class")
    classHeader($0)
    next
}
/^[ \t]+descriptor: / {
    if (pending == "") fail("descriptor without member")
    d = $0
    sub(/^[ \t]+descriptor: /, "", d)
    emitMember(trim(d))
    next
}
/^  [^ \t]/ {
    if (current == "") fail("member outside a class")
    memberLine($0)
    next
}
{ fail("unrecognised line") }

END {
    if (failed) exit 1
    if (current != "" || pending != "") {
        print "javap_to_manifest: truncated javap output" > "/dev/stderr"
        exit 1
    }
}
