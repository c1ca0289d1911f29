package javax.microedition.lcdui;

public class Alert extends Screen {
  public static final int FOREVER = -2;
  private String text;
  private int timeout = 2000;

  public Alert(String title, String alertText, Image alertImage, AlertType alertType) {
    super(title);
    text = alertText;
  }

  public String getString() {
    return text;
  }

  public void setString(String s) {
    text = s;
  }

  public void setTimeout(int t) {
    timeout = t;
  }

  public int getTimeout() {
    return timeout;
  }
}
