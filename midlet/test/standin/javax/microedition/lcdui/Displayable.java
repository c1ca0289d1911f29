package javax.microedition.lcdui;

import java.util.ArrayList;
import java.util.List;

/** Desktop stand-in; fire() plays the part of the user choosing a command. */
public abstract class Displayable {
  private final List<Command> commands = new ArrayList<>();
  private CommandListener listener;

  Displayable() {}

  public boolean isShown() {
    return false;
  }

  public void addCommand(Command c) {
    if (!commands.contains(c)) commands.add(c);
  }

  public void removeCommand(Command c) {
    commands.remove(c);
  }

  public void setCommandListener(CommandListener l) {
    listener = l;
  }

  public List<String> commandLabels() {
    List<String> labels = new ArrayList<>();
    for (Command c : commands) labels.add(c.getLabel());
    return labels;
  }

  /** Chooses the command with this label; fails when the screen has none. */
  public void fire(String label) {
    for (Command c : commands) {
      if (c.getLabel().equals(label)) {
        fire(c);
        return;
      }
    }
    throw new IllegalStateException("no command " + label + " among " + commandLabels());
  }

  void fire(Command c) {
    listener.commandAction(c, this);
  }
}
