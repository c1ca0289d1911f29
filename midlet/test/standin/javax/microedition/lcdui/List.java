package javax.microedition.lcdui;

import java.util.ArrayList;

public class List extends Screen implements Choice {
  public static final Command SELECT_COMMAND = new Command("", Command.SCREEN, 0);
  private final java.util.List<String> items = new ArrayList<>();
  private int selected;

  public List(String title, int listType) {
    super(title);
  }

  public int size() {
    return items.size();
  }

  public String getString(int i) {
    return items.get(i);
  }

  public int append(String s, Image image) {
    items.add(s);
    return items.size() - 1;
  }

  public void delete(int i) {
    items.remove(i);
    selected = Math.max(0, Math.min(selected, items.size() - 1));
  }

  public int getSelectedIndex() {
    return items.isEmpty() ? -1 : selected;
  }

  public void setSelectedIndex(int i, boolean on) {
    if (on) selected = i;
  }

  public java.util.List<String> items() {
    return new ArrayList<>(items);
  }

  /** The user highlights item i and selects it. */
  public void select(int i) {
    selected = i;
    fire(SELECT_COMMAND);
  }

  /** The user highlights item i and chooses the command with this label. */
  public void select(int i, String command) {
    selected = i;
    fire(command);
  }
}
