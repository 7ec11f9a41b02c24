# Sourced by run.sh and test.sh: installs the Debian packages that
# demo/packages.txt lists for the command and that are missing, and nothing
# when all are present.
#   korrin_need_packages run|test
korrin_need_packages() {
  local command=$1 list name commands why missing=() wanted=0
  list=$(dirname "${BASH_SOURCE[0]}")/packages.txt
  while read -r name commands why; do
    case $name in '' | '#'*) continue ;; esac
    case ",$commands," in *",$command,"*) ;; *) continue ;; esac
    wanted=$((wanted + 1))
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' || missing+=("$name")
  done <"$list"
  if [ $wanted -eq 0 ]; then
    echo "$list names no package for the command '$command'" >&2
    return 1
  fi
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
