#!/usr/bin/env bash
# The device work sits below the window: nothing under the core folders may reach a widget, the
# window's folders or the form binding. A core that includes one would drag QtWidgets into
# korvane-cli and into every test of the core.
set -u
src=${1:?usage: layering_test.sh SRC_DIR}
core=(platform texts device_link parameters records operations reports)
upward='"(ui|app|cli|parameters/form)/'
widgets='<Q(Widget|Label|LineEdit|CheckBox|ComboBox|AbstractButton|PushButton|TableWidget|TabWidget|Action|ScrollBar|MessageBox|Dialog|InputDialog|FileDialog|Application|HeaderView|Menu|MainWindow|Layout|VBoxLayout|HBoxLayout|GridLayout|Frame|GroupBox|ToolTip|ColorDialog|Splitter)>|<QtWidgets'
status=0
for dir in "${core[@]}"; do
  while IFS= read -r -d '' file; do
    rel=${file#"$src"/}
    [[ $rel == parameters/form/* ]] && continue
    if hits=$(grep -nE "#include ($upward|$widgets)" "$file"); then
      echo "$rel reaches above the core:"; echo "$hits"; status=1
    fi
  done < <(find "$src/$dir" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done
exit $status
