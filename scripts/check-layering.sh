#!/usr/bin/env bash
# Checks the arrows between the layers by their includes: the game sees only the runtime, the
# runtime never sees the game nor the host's window, font, GL and POSIX interfaces (only the port
# does), the port never sees the runtime, and the software renderer touches only memory, the draw
# state and the image formats. Within the game: shared state <- field <- stages, the shell on top. (The build targets check most of this too; this also catches a
# host header that the compiler would find on its default path.)
set -uo pipefail
cd "$(dirname "$0")/.."

host='<(SDL|SDL2/|ft2build|freetype|fontconfig|GL/|sys/|unistd\.h|pthread\.h|dirent\.h|fcntl\.h|netinet/|arpa/|netdb\.h|iconv\.h|dlfcn\.h|libav|libsw)'
fail=0
report() { # Perl pattern, files..., message in $msg
  local out
  out=$(grep -nP "$1" "${@:2}" 2>/dev/null) && { printf '%s\n' "$out" | sed "s|^|check-layering: $msg: |"; fail=1; }
}
src() { git ls-files "$1" | grep -E '\.(cpp|h)$'; }

mapfile -t runtime < <(src runtime)
mapfile -t port < <(src port)
mapfile -t game < <(src stg_src)
mapfile -t softrender < <(src runtime/softrender)

msg="the runtime includes a host interface";  [ ${#runtime[@]} -gt 0 ] && report "#include $host" "${runtime[@]}"
msg="the runtime includes the game";          [ ${#runtime[@]} -gt 0 ] && report '#include "stg_src/' "${runtime[@]}"
msg="the port includes the runtime or game";  [ ${#port[@]} -gt 0 ] && report '#include "(runtime|stg_src)/' "${port[@]}"
msg="the game includes a host interface";     [ ${#game[@]} -gt 0 ] && report "#include $host" "${game[@]}"
msg="the game includes more than the runtime"; [ ${#game[@]} -gt 0 ] && report '#include "(port|tests|tools)/' "${game[@]}"
msg="the software renderer reaches past memory, draw state and image formats"
[ ${#softrender[@]} -gt 0 ] && report '#include "(runtime/(platform/(?!core/)|sound/|graphics/(?!image/|draw/draw_state\.h|screen/screen_mode\.h))|port/[a-z0-9_]+/|stg_src/)' "${softrender[@]}"

# The game's own layers: game/ (what the shell and the field share) <- field/ <- stages/, the shell
# on top, reaching the field only through play_field.h.
mapfile -t gamebase < <(src stg_src/game)
mapfile -t field < <(src stg_src/field)
mapfile -t stages < <(src stg_src/stages)
mapfile -t shell < <(src stg_src/shell)
msg="the game's shared state includes the shell, the field or a stage"
[ ${#gamebase[@]} -gt 0 ] && report '#include "stg_src/(shell|field|stages)/' "${gamebase[@]}"
msg="the field includes a shell header"; [ ${#field[@]} -gt 0 ] && report '#include "stg_src/shell/' "${field[@]}"
msg="the field includes a stage header"; [ ${#field[@]} -gt 0 ] && report '#include "stg_src/stages/' "${field[@]}"
msg="a stage includes a shell header"; [ ${#stages[@]} -gt 0 ] && report '#include "stg_src/shell/' "${stages[@]}"
msg="the shell includes a field header other than play_field.h, or a stage header"
[ ${#shell[@]} -gt 0 ] && report '#include "stg_src/(field/(?!play_field\.h)|stages/)' "${shell[@]}"

exit $fail
