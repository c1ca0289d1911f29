package javax.microedition.lcdui;

public class TextBox extends Screen {
  private String text;
  private final int maxSize, constraints;

  public TextBox(String title, String text, int maxSize, int constraints) {
    super(title);
    this.text = text;
    this.maxSize = maxSize;
    this.constraints = constraints;
  }

  public String getString() {
    return text;
  }

  public void setString(String text) {
    if (text.length() > maxSize) throw new IllegalArgumentException("text longer than " + maxSize);
    this.text = text;
  }

  public int size() {
    return text.length();
  }

  public int getMaxSize() {
    return maxSize;
  }

  public int getConstraints() {
    return constraints;
  }

  /** The user types text and chooses the command with this label. */
  public void enter(String typed, String command) {
    setString(typed);
    fire(command);
  }
}
